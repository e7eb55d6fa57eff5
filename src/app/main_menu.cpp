#include "app/main_menu.h"

#include <gtkmm/checkmenuitem.h>

#include "app/main_job_extras.h"
#include "app/main_page_tools.h"
#include "app/main_step_ahead.h"
#include "app/main_window_pockets.h"
#include "app/main_window_skin.h"
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
using Handler = std::function<void(MainCommandHost&)>;

MenuItemRow Menu(const char* name, const char* caption, const char* parent = "",
                 Handler on_open = {}) {
  return {name, caption, parent, "", true, true, Kind::Submenu, std::move(on_open), {}};
}
MenuItemRow Item(const char* name, const char* caption, const char* parent, const char* shortcut,
                 Handler handler) {
  return {name, caption, parent, shortcut, true, true, Kind::Command, std::move(handler), {}};
}
// An item that acts on the loaded job: off until one is loaded (MainJobExtras::UpdateJobItems).
MenuItemRow NeedsJob(MenuItemRow row) {
  row.enabled = false;
  return row;
}
MenuItemRow Separator(const char* name, const char* parent) {
  return {name, "", parent, "", true, true, Kind::Separator, {}, {}};
}

// Beyond the designed settings menu: whether the next entry of a job is made ready ahead.
MenuItemRow PrepareNextItem() {
  MenuItemRow row =
      Item("mnuPrepareNext", "次のﾍﾟｰｼﾞを先読み(&P)", "mhConfig", "", [](MainCommandHost& w) {
        auto* item = dynamic_cast<Gtk::CheckMenuItem*>(w.menu_item("mnuPrepareNext"));
        if (item) MainStepAhead::SetEnabled(item->get_active());
      });
  row.kind = Kind::Check;
  row.checked = &MainStepAhead::Enabled;
  return row;
}

std::vector<MenuItemRow> BuildRows() {
  std::vector<MenuItemRow> t = {
      Menu("mhFile", "ﾌｧｲﾙ(&F)"),
      Item("mnuOpURL", "URLを開く(&U)...", "mhFile", "Ctrl+U", &MainCommandHost::OpenUrlPrompt),
      Item("mnuOpFav", "お気に入りを開く(&F)...", "mhFile", "Ctrl+F",
           [](MainCommandHost& w) {
             OpenFavorite(&w.command_window(), w.browser(), [&w](const std::string& url) {
               return ConfirmScriptAddress(AppDialogs(), &w.command_window(), url);
             });
           }),
      Item("mnuAddFav", "お気に入りに追加(&A)...", "mhFile", "Ctrl+D",
           [](MainCommandHost& w) { AddFavorite(&w.command_window(), w.browser()); }),
      Separator("mSep01", "mhFile"),
      Menu("mhRecent", "最近開いたページ(&R)", "mhFile", &MainCommandHost::ShowHistoryMenu),
      Item("mnuDelHist", "履歴の削除(&D)", "mhRecent", "Ctrl+K", &MainCommandHost::DeleteHistory),
      Separator("mSep02", "mhRecent"),
  };
  for (int i = 0; i < RecentHistory::kSlots; ++i) {
    MenuItemRow row = Item("", kEmptyRecentCaption, "mhRecent", "",
                           [i](MainCommandHost& w) { w.RecentClick(i); });
    row.name = "mnuRecent(" + std::to_string(i) + ")";
    row.enabled = false;
    row.visible = i == 0;
    t.push_back(std::move(row));
  }
  std::vector<MenuItemRow> rest = {
      Separator("mSep03", "mhFile"),
      Item("mnuQuit", "閉じる(&Q)", "mhFile", "Ctrl+Q", &MainCommandHost::CloseWindow),
      Menu("mhEdit", "編集(&E)", "", &MainCommandHost::RefreshEditMenu),
      Item("mnuCopy", "URLのｺﾋﾟｰ(&C)", "mhEdit", "Ctrl+C", &MainCommandHost::CopyUrl),
      Item("mnuPaste", "URLの貼り付け(&V)", "mhEdit", "Ctrl+V", &MainCommandHost::PasteUrl),
      Menu("mhJob", "ｼﾞｮﾌﾞ(&J)"),
      Item("mnuNewJob", "新規ｼﾞｮﾌﾞの作成(&N)...", "mhJob", "Ctrl+N",
           [](MainCommandHost& w) { mnuNewJob_Click(w.job_host()); }),
      Item("mnuEditJob", "ｼﾞｮﾌﾞの編集(&E)...", "mhJob", "Ctrl+E",
           [](MainCommandHost& w) { mnuEditJob_Click(w.job_host()); }),
      Separator("mSep04", "mhJob"),
      Item("mnuImportFavFolder", "お気に入りﾌｫﾙﾀﾞのｲﾝﾎﾟｰﾄ(&M)...", "mhJob", "Ctrl+M",
           [](MainCommandHost& w) { mnuImportFavFolder_Click(w.job_host()); }),
      // Beyond the designed job menu.
      Separator("mSepJob1", "mhJob"),
      Menu("mhAddToJob", kAddPageToJobCaption, "mhJob",
           [](MainCommandHost& w) { w.job_extras().RebuildAddToJobMenu(); }),
      NeedsJob(Item("mnuResumeJob", "続きから開く(&R)", "mhJob", "",
                    [](MainCommandHost& w) { w.job_extras().ResumeSelectedJob(); })),
      Separator("mSepJob2", "mhJob"),
      Item("mnuImportBookmarks", kImportBookmarksCaption, "mhJob", "",
           [](MainCommandHost& w) { w.job_extras().ImportBookmarks(); }),
      NeedsJob(Item("mnuExportBookmarks", kExportBookmarksCaption, "mhJob", "",
                    [](MainCommandHost& w) { w.job_extras().ExportBookmarks(); })),
      NeedsJob(Item("mnuExportShortcuts", kExportShortcutsCaption, "mhJob", "",
                    [](MainCommandHost& w) { w.job_extras().ExportShortcuts(); })),
      Separator("mSepJob3", "mhJob"),
      Item("mnuJobFromLinks", kJobFromPageLinksCaption, "mhJob", "",
           [](MainCommandHost& w) { w.job_extras().JobFromPageLinks(); }),
      Item("mnuJobFromUrlList", kJobFromUrlListCaption, "mhJob", "",
           [](MainCommandHost& w) { w.job_extras().JobFromUrlList(); }),
      Menu("mhPocket", "ﾎﾟｹｯﾄ(&P)"),
      Menu("mnuClear", "ｸﾘｱ(&C)", "mhPocket"),
      Item("mnuClearAll", "すべて(&A)", "mnuClear", "Ctrl+P",
           [](MainCommandHost& w) { w.pockets().ClearAll(); }),
      Separator("mSep05", "mnuClear"),
      Item("mnuCPckt(0)", "ﾎﾟｹｯﾄ&1", "mnuClear", "",
           [](MainCommandHost& w) { w.pockets().Clear(0); }),
      Item("mnuCPckt(1)", "ﾎﾟｹｯﾄ&2", "mnuClear", "",
           [](MainCommandHost& w) { w.pockets().Clear(1); }),
      Item("mnuCPckt(2)", "ﾎﾟｹｯﾄ&3", "mnuClear", "",
           [](MainCommandHost& w) { w.pockets().Clear(2); }),
      Menu("mhConfig", "設定(&C)", "",
           [](MainCommandHost& w) {
             w.skin().RebuildMenu(*w.menu_item("mnuSkin")->get_submenu());
             // Another window may have changed the setting.
             if (auto* item = dynamic_cast<Gtk::CheckMenuItem*>(w.menu_item("mnuPrepareNext")))
               item->set_active(MainStepAhead::Enabled());
           }),
      Item("mnuHomeURL", "ﾎｰﾑURL(&H)...", "mhConfig", "", &MainCommandHost::HomeUrlPrompt),
      Item("mnuFavPath", "お気に入りﾌｫﾙﾀﾞ(&F)...", "mhConfig", "",
           [](MainCommandHost& w) { ChooseFavoritesFolder(&w.command_window()); }),
      Item("mnuJobsFolder", "ｼﾞｮﾌﾞの保存先(&J)...", "mhConfig", "",
           [](MainCommandHost& w) { mnuJobsFolder_Click(w.job_host()); }),
      Separator("mSep06", "mhConfig"),
      Item("mnuDefBro", "ﾃﾞﾌｫﾙﾄﾌﾞﾗｳｻﾞにする(&D)", "mhConfig", "",
           [](MainCommandHost& w) { mnuDefBro_Click(&w.command_window()); }),
      Separator("mSep07", "mhConfig"),
      Menu("mnuSkin", "ｽｷﾝの変更(&S)", "mhConfig"),
      Item("mnuSelSkin(0)", "ﾃﾞﾌｫﾙﾄ(&D)", "mnuSkin", "",
           [](MainCommandHost& w) { w.skin().Select(0, "ﾃﾞﾌｫﾙﾄ(&D)"); }),
      Separator("mSep08", "mhConfig"),
      PrepareNextItem(),
      Item("mnuInet", "ｲﾝﾀｰﾈｯﾄの設定(&I)...", "mhConfig", "Ctrl+I",
           [](MainCommandHost& w) { mnuInet_Click(&w.command_window()); }),
      Menu("mhHelp", "ﾍﾙﾌﾟ(&P)"),
      Item("mnuHelp", "ﾍﾙﾌﾟを開く(&O)...", "mhHelp", "Ctrl+H",
           [](MainCommandHost& w) { mnuHelp_Click(&w.command_window()); }),
      Separator("mSep09", "mhHelp"),
      Item("mnuAuthorPage", "作者ﾎｰﾑﾍﾟｰｼﾞへ(&A)", "mhHelp", "Ctrl+A",
           [](MainCommandHost& w) { mnuAuthorPage_Click(w.browser()); }),
      Item("mnuVer", "ﾊﾞｰｼﾞｮﾝ情報(&V)...", "mhHelp", "Ctrl+R",
           [](MainCommandHost& w) { mnuVer_Click(&w.command_window()); }),
      // Beyond the designed menus: what a desktop browser does with the page shown.
      Item("mnuSavePage", "名前を付けて保存(&S)...", "mhFile", "Ctrl+S",
           [](MainCommandHost& w) { w.page_tools().SavePage(); }),
      Item("mnuPrint", "印刷(&P)...", "mhFile", "Ctrl+Shift+P",
           [](MainCommandHost& w) { w.page_tools().Print(); }),
      Item("mnuFind", "検索(&F)...", "mhEdit", "Ctrl+G",
           [](MainCommandHost& w) { w.page_tools().OpenFind(); }),
      Item("mnuFindNext", "次を検索(&N)", "mhEdit", "F3",
           [](MainCommandHost& w) { w.page_tools().FindNext(); }),
      Item("mnuFindPrevious", "前を検索(&B)", "mhEdit", "Shift+F3",
           [](MainCommandHost& w) { w.page_tools().FindPrevious(); }),
      Menu("mhView", "表示(&V)"),
      Item("mnuBack", "戻る(&B)", "mhView", "Alt+Left",
           [](MainCommandHost& w) { w.ToolbarClick(5); }),
      Item("mnuForward", "進む(&F)", "mhView", "Alt+Right",
           [](MainCommandHost& w) { w.ToolbarClick(6); }),
      Item("mnuReload", "更新(&R)", "mhView", "F5", [](MainCommandHost& w) { w.ToolbarClick(2); }),
      // Escape stops too (frmMain::EscapeFromPage): as an accelerator it would take the key from
      // the find bar and from input methods.
      Item("mnuStop", "中止(&S)", "mhView", "", [](MainCommandHost& w) { w.ToolbarClick(1); }),
      Separator("mSepView1", "mhView"),
      Item("mnuZoomIn", "拡大(&I)", "mhView", "Ctrl+plus",
           [](MainCommandHost& w) { w.page_tools().ZoomStep(1); }),
      Item("mnuZoomOut", "縮小(&O)", "mhView", "Ctrl+minus",
           [](MainCommandHost& w) { w.page_tools().ZoomStep(-1); }),
      Item("mnuZoomReset", "元のｻｲｽﾞ(&Z)", "mhView", "Ctrl+0",
           [](MainCommandHost& w) { w.page_tools().ZoomReset(); }),
      Separator("mSepView2", "mhView"),
      Item("mnuFullScreen", "全画面表示(&U)", "mhView", "F11",
           [](MainCommandHost& w) { w.ToggleFullScreen(); }),
      Item("mnuFirstEntry", "先頭へ(&F)", "mhJob", "Alt+Home",
           [](MainCommandHost& w) { w.cmdNav_Click(0); }),
      Item("mnuPreviousEntry", "一つ前(&P)", "mhJob", "Alt+Page_Up",
           [](MainCommandHost& w) { w.cmdNav_Click(1); }),
      Item("mnuNextEntry", "次(&S)", "mhJob", "Alt+Page_Down",
           [](MainCommandHost& w) { w.cmdNav_Click(2); }),
      Item("mnuLastEntry", "最後へ(&Z)", "mhJob", "Alt+End",
           [](MainCommandHost& w) { w.cmdNav_Click(3); }),
      Item("mnuEntryList", "一覧から選択(&I)...", "mhJob", "Alt+L",
           [](MainCommandHost& w) { w.cmdNav_Click(4); }),
  };
  t.insert(t.end(), std::make_move_iterator(rest.begin()), std::make_move_iterator(rest.end()));
  return t;
}

}  // namespace

const std::vector<MenuItemRow>& MainMenuRows() {
  static const std::vector<MenuItemRow> rows = BuildRows();
  return rows;
}

const std::function<void(MainCommandHost&)>& MainMenuCommand(const std::string& name) {
  static const Handler none;
  for (const MenuItemRow& row : MainMenuRows())
    if (row.kind == Kind::Command && row.name == name) return row.handler;
  return none;
}

}  // namespace tarvik
