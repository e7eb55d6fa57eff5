#include "app/main_menu.h"

#include "app/frm_main.h"
#include "browse/recent_history.h"
#include "browse/recent_menu.h"
#include "browse/script_guard.h"
#include "favorites/favorites_commands.h"
#include "jobs/add_to_job.h"
#include "jobs/job_commands.h"
#include "jobs/job_trade.h"
#include "jobs/link_jobs.h"
#include "system/system_commands.h"

namespace tarvik {

namespace {

using Kind = MenuItemRow::Kind;
using Handler = std::function<void(frmMain&)>;

MenuItemRow Menu(const char* name, const char* caption, const char* parent = "",
                 Handler on_open = {}) {
  return {name, caption, parent, "", true, true, Kind::Submenu, std::move(on_open)};
}
MenuItemRow Item(const char* name, const char* caption, const char* parent, const char* shortcut,
                 Handler handler) {
  return {name, caption, parent, shortcut, true, true, Kind::Command, std::move(handler)};
}
// An item that acts on the loaded job: off until one is loaded (MainJobExtras::UpdateJobItems).
MenuItemRow NeedsJob(MenuItemRow row) {
  row.enabled = false;
  return row;
}
MenuItemRow Separator(const char* name, const char* parent) {
  return {name, "", parent, "", true, true, Kind::Separator, {}};
}

std::vector<MenuItemRow> BuildRows() {
  std::vector<MenuItemRow> t = {
      Menu("mhFile", "ﾌｧｲﾙ(&F)"),
      Item("mnuOpURL", "URLを開く(&U)...", "mhFile", "Ctrl+U", &frmMain::OpenUrlPrompt),
      Item("mnuOpFav", "お気に入りを開く(&F)...", "mhFile", "Ctrl+F",
           [](frmMain& w) {
             OpenFavorite(&w, w.browser(), [&w](const std::string& url) {
               return ConfirmScriptAddress(AppDialogs(), &w, url);
             });
           }),
      Item("mnuAddFav", "お気に入りに追加(&A)...", "mhFile", "Ctrl+D",
           [](frmMain& w) { AddFavorite(&w, w.browser()); }),
      Separator("mSep01", "mhFile"),
      Menu("mhRecent", "最近開いたページ(&R)", "mhFile", &frmMain::ShowHistoryMenu),
      Item("mnuDelHist", "履歴の削除(&D)", "mhRecent", "Ctrl+K", &frmMain::DeleteHistory),
      Separator("mSep02", "mhRecent"),
  };
  for (int i = 0; i < RecentHistory::kSlots; ++i) {
    MenuItemRow row =
        Item("", kEmptyRecentCaption, "mhRecent", "", [i](frmMain& w) { w.RecentClick(i); });
    row.name = "mnuRecent(" + std::to_string(i) + ")";
    row.enabled = false;
    row.visible = i == 0;
    t.push_back(std::move(row));
  }
  std::vector<MenuItemRow> rest = {
      Separator("mSep03", "mhFile"),
      Item("mnuQuit", "閉じる(&Q)", "mhFile", "Ctrl+Q", &frmMain::CloseWindow),
      Menu("mhEdit", "編集(&E)", "", &frmMain::RefreshEditMenu),
      Item("mnuCopy", "URLのｺﾋﾟｰ(&C)", "mhEdit", "Ctrl+C", &frmMain::CopyUrl),
      Item("mnuPaste", "URLの貼り付け(&V)", "mhEdit", "Ctrl+V", &frmMain::PasteUrl),
      Menu("mhJob", "ｼﾞｮﾌﾞ(&J)"),
      Item("mnuNewJob", "新規ｼﾞｮﾌﾞの作成(&N)...", "mhJob", "Ctrl+N",
           [](frmMain& w) { mnuNewJob_Click(w); }),
      Item("mnuEditJob", "ｼﾞｮﾌﾞの編集(&E)...", "mhJob", "Ctrl+E",
           [](frmMain& w) { mnuEditJob_Click(w); }),
      Separator("mSep04", "mhJob"),
      Item("mnuImportFavFolder", "お気に入りﾌｫﾙﾀﾞのｲﾝﾎﾟｰﾄ(&M)...", "mhJob", "Ctrl+M",
           [](frmMain& w) { mnuImportFavFolder_Click(w); }),
      // Beyond the designed job menu.
      Separator("mSepJob1", "mhJob"),
      Menu("mhAddToJob", kAddPageToJobCaption, "mhJob",
           [](frmMain& w) { w.job_extras().RebuildAddToJobMenu(); }),
      NeedsJob(Item("mnuResumeJob", "続きから開く(&R)", "mhJob", "",
                    [](frmMain& w) { w.job_extras().ResumeSelectedJob(); })),
      Separator("mSepJob2", "mhJob"),
      Item("mnuImportBookmarks", kImportBookmarksCaption, "mhJob", "",
           [](frmMain& w) { w.job_extras().ImportBookmarks(); }),
      NeedsJob(Item("mnuExportBookmarks", kExportBookmarksCaption, "mhJob", "",
                    [](frmMain& w) { w.job_extras().ExportBookmarks(); })),
      NeedsJob(Item("mnuExportShortcuts", kExportShortcutsCaption, "mhJob", "",
                    [](frmMain& w) { w.job_extras().ExportShortcuts(); })),
      Separator("mSepJob3", "mhJob"),
      Item("mnuJobFromLinks", kJobFromPageLinksCaption, "mhJob", "",
           [](frmMain& w) { w.job_extras().JobFromPageLinks(); }),
      Item("mnuJobFromUrlList", kJobFromUrlListCaption, "mhJob", "",
           [](frmMain& w) { w.job_extras().JobFromUrlList(); }),
      Menu("mhPocket", "ﾎﾟｹｯﾄ(&P)"),
      Menu("mnuClear", "ｸﾘｱ(&C)", "mhPocket"),
      Item("mnuClearAll", "すべて(&A)", "mnuClear", "Ctrl+P",
           [](frmMain& w) { w.pockets().ClearAll(); }),
      Separator("mSep05", "mnuClear"),
      Item("mnuCPckt(0)", "ﾎﾟｹｯﾄ&1", "mnuClear", "", [](frmMain& w) { w.pockets().Clear(0); }),
      Item("mnuCPckt(1)", "ﾎﾟｹｯﾄ&2", "mnuClear", "", [](frmMain& w) { w.pockets().Clear(1); }),
      Item("mnuCPckt(2)", "ﾎﾟｹｯﾄ&3", "mnuClear", "", [](frmMain& w) { w.pockets().Clear(2); }),
      Menu("mhConfig", "設定(&C)", "",
           [](frmMain& w) { w.skin().RebuildMenu(*w.menu_item("mnuSkin")->get_submenu()); }),
      Item("mnuHomeURL", "ﾎｰﾑURL(&H)...", "mhConfig", "", &frmMain::HomeUrlPrompt),
      Item("mnuFavPath", "お気に入りﾌｫﾙﾀﾞ(&F)...", "mhConfig", "",
           [](frmMain& w) { ChooseFavoritesFolder(&w); }),
      Separator("mSep06", "mhConfig"),
      Item("mnuDefBro", "ﾃﾞﾌｫﾙﾄﾌﾞﾗｳｻﾞにする(&D)", "mhConfig", "",
           [](frmMain& w) { mnuDefBro_Click(&w); }),
      Separator("mSep07", "mhConfig"),
      Menu("mnuSkin", "ｽｷﾝの変更(&S)", "mhConfig"),
      Item("mnuSelSkin(0)", "ﾃﾞﾌｫﾙﾄ(&D)", "mnuSkin", "",
           [](frmMain& w) { w.skin().Select(0, "ﾃﾞﾌｫﾙﾄ(&D)"); }),
      Separator("mSep08", "mhConfig"),
      Item("mnuInet", "ｲﾝﾀｰﾈｯﾄの設定(&I)...", "mhConfig", "Ctrl+I",
           [](frmMain& w) { mnuInet_Click(&w); }),
      Menu("mhHelp", "ﾍﾙﾌﾟ(&P)"),
      Item("mnuHelp", "ﾍﾙﾌﾟを開く(&O)...", "mhHelp", "Ctrl+H",
           [](frmMain& w) { mnuHelp_Click(&w); }),
      Separator("mSep09", "mhHelp"),
      Item("mnuAuthorPage", "作者ﾎｰﾑﾍﾟｰｼﾞへ(&A)", "mhHelp", "Ctrl+A",
           [](frmMain& w) { mnuAuthorPage_Click(w.browser()); }),
      Item("mnuVer", "ﾊﾞｰｼﾞｮﾝ情報(&V)...", "mhHelp", "Ctrl+R",
           [](frmMain& w) { mnuVer_Click(&w); }),
  };
  t.insert(t.end(), std::make_move_iterator(rest.begin()), std::make_move_iterator(rest.end()));
  return t;
}

}  // namespace

const std::vector<MenuItemRow>& MainMenuRows() {
  static const std::vector<MenuItemRow> rows = BuildRows();
  return rows;
}

std::string MnemonicCaption(const std::string& caption) {
  std::string out;
  for (size_t i = 0; i < caption.size(); ++i) {
    char c = caption[i];
    if (c == '_') {
      out += "__";
    } else if (c == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        out += '&';
        ++i;
      } else {
        out += '_';
      }
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace tarvik
