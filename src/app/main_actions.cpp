#include "app/main_actions.h"

#include <gtkmm/checkmenuitem.h>
#include <gtkmm/clipboard.h>

#include "app/main_job_extras.h"
#include "app/main_page_extras.h"
#include "app/main_page_tools.h"
#include "app/main_rounds.h"
#include "app/main_step_ahead.h"
#include "app/main_window_pockets.h"
#include "app/main_window_skin.h"
#include "browse/recent_history.h"
#include "browse/recent_menu.h"
#include "browse/script_guard.h"
#include "favorites/favorites_commands.h"
#include "jobs/add_to_job.h"
#include "jobs/job_commands.h"
#include "jobs/job_cursor.h"
#include "jobs/job_trade.h"
#include "jobs/link_jobs.h"
#include "jobs/round_view.h"
#include "platform/browser_control.h"
#include "platform/dialogs.h"
#include "system/system_commands.h"

namespace tarvik {

namespace {

using A = ActionId;
using Kind = ActionRow::Kind;
using Handler = std::function<void(MainCommandHost&)>;

ActionRow Menu(ActionId id, const char* name, const char* caption, ActionId parent = A::None,
               Handler on_open = {}) {
  return {id, 0, name, caption, parent, "", true, true, Kind::Submenu, std::move(on_open), {}};
}
ActionRow Item(ActionId id, const char* name, const char* caption, ActionId parent,
               const char* shortcut, Handler handler) {
  return {id, 0, name, caption, parent, shortcut, true, true, Kind::Command, std::move(handler),
          {}};
}
// An item that acts on the loaded job: off until one is loaded (MainJobExtras::UpdateJobItems).
ActionRow NeedsJob(ActionRow row) {
  row.enabled = false;
  row.needs_job = true;
  return row;
}
ActionRow Separator(const char* name, ActionId parent) {
  return {A::None, 0, name, "", parent, "", true, true, Kind::Separator, {}, {}};
}
ActionRow Indexed(ActionRow row, int index) {
  row.index = index;
  return row;
}
// A command on the page shown (app/main_page_tools.h).
ActionRow PageTool(ActionId id, const char* name, const char* caption, ActionId parent,
                   const char* shortcut, void (MainPageTools::*tool)()) {
  return Item(id, name, caption, parent, shortcut,
              [tool](MainCommandHost& w) { (w.page_tools().*tool)(); });
}
// A command that has no menu item: a button runs it (app/main_action_set.h).
ActionRow Button(ActionId id, Handler handler) {
  return {id, 0, "", "", A::None, "", true, true, Kind::Command, std::move(handler), {}};
}

void OpenUrlPrompt(MainCommandHost& w) {
  std::string url =
      AppDialogs().InputBox(&w.command_window(), "URLを入力してください", "ダイレクトURL入力", "");
  if (!url.empty()) w.browser().Navigate(url);
}

void CopyUrl(MainCommandHost& w) {
  BrowserControl& browser = w.browser();
  auto copy_url = [&browser] {
    auto clipboard = Gtk::Clipboard::get();
    clipboard->clear();
    clipboard->set_text(browser.LocationURL());
    clipboard->store();
  };
  // Ctrl+C in the page copies what is selected there; without a selection, the address.
  if (!browser.HasFocus()) return copy_url();
  sigc::slot<void(bool)> fallback = sigc::track_obj(
      [copy_url](bool copied) {
        if (!copied) copy_url();
      },
      w.command_window());  // nothing happens once the window is gone
  browser.CopySelectionIfAny([fallback](bool copied) { fallback(copied); });
}

void PasteUrl(MainCommandHost& w) {
  auto clipboard = Gtk::Clipboard::get();
  if (!clipboard->wait_is_text_available()) return;
  std::string text = clipboard->wait_for_text();
  w.browser().Navigate(text);
}

// A check item: `follow` hears the item's new state; `checked` gives it as the window is built
// (none: off).
ActionRow CheckItem(A id, const char* name, const char* caption, A parent,
                    std::function<void(MainCommandHost&, bool)> follow,
                    std::function<bool()> checked = nullptr) {
  ActionRow row = Item(id, name, caption, parent, "", [id, follow](MainCommandHost& w) {
    if (auto* item = dynamic_cast<Gtk::CheckMenuItem*>(w.menu_item(id)))
      follow(w, item->get_active());
  });
  row.kind = Kind::Check;
  row.checked = std::move(checked);
  return row;
}

// Beyond the designed job menu: whether the loaded job is checked on its own.
ActionRow AutoCheckJobItem() {
  return NeedsJob(
      CheckItem(A::AutoCheckJob, "mnuAutoCheckJob", kAutoCheckJobCaption, A::JobMenu,
                [](MainCommandHost& w, bool on) { w.rounds().SetLoadedJobAutoChecked(on); }));
}

// Beyond the designed settings menu: whether a round highlights the places new on a page.
ActionRow HighlightChangesItem() {
  return CheckItem(
      A::HighlightChanges, "mnuHighlightChanges", kHighlightChangesCaption, A::SettingsMenu,
      [](MainCommandHost&, bool on) { MainRounds::SetHighlightEnabled(on); },
      &MainRounds::HighlightEnabled);
}

// Beyond the designed settings menu: whether the next entry of a job is made ready ahead.
ActionRow PrepareNextItem() {
  return CheckItem(
      A::PrepareNext, "mnuPrepareNext", "次のﾍﾟｰｼﾞを先読み(&P)", A::SettingsMenu,
      [](MainCommandHost&, bool on) { MainStepAhead::SetEnabled(on); }, &MainStepAhead::Enabled);
}

// Beyond the designed settings menu: spell checking in the fields of pages.
ActionRow SpellCheckItem() {
  return CheckItem(
      A::SpellCheck, "mnuSpellCheck", "ｽﾍﾟﾙﾁｪｯｸ(&K)", A::SettingsMenu,
      [](MainCommandHost& w, bool on) { MainPageExtras::SetSpellCheckEnabled(on, w.browser()); },
      &MainPageExtras::SpellCheckEnabled);
}

std::vector<ActionRow> BuildRows() {
  std::vector<ActionRow> t = {
      Menu(A::FileMenu, "mhFile", "ﾌｧｲﾙ(&F)"),
      Item(A::OpenUrl, "mnuOpURL", "URLを開く(&U)...", A::FileMenu, "Ctrl+U", &OpenUrlPrompt),
      Item(A::OpenFavorite, "mnuOpFav", "お気に入りを開く(&F)...", A::FileMenu, "Ctrl+F",
           [](MainCommandHost& w) {
             OpenFavorite(&w.command_window(), w.browser(), [&w](const std::string& url) {
               return ConfirmScriptAddress(AppDialogs(), &w.command_window(), url);
             });
           }),
      Item(A::AddFavorite, "mnuAddFav", "お気に入りに追加(&A)...", A::FileMenu, "Ctrl+D",
           [](MainCommandHost& w) { AddFavorite(&w.command_window(), w.browser()); }),
      Separator("mSep01", A::FileMenu),
      Menu(A::RecentMenu, "mhRecent", "最近開いたページ(&R)", A::FileMenu,
           &MainCommandHost::ShowHistoryMenu),
      Item(A::DeleteHistory, "mnuDelHist", "履歴の削除(&D)", A::RecentMenu, "Ctrl+K",
           &MainCommandHost::DeleteHistory),
      Separator("mSep02", A::RecentMenu),
  };
  for (int i = 0; i < RecentHistory::kSlots; ++i) {
    ActionRow row = Indexed(Item(A::Recent, "", kEmptyRecentCaption, A::RecentMenu, "",
                                 [i](MainCommandHost& w) { w.RecentClick(i); }),
                            i);
    row.name = "mnuRecent(" + std::to_string(i) + ")";
    row.enabled = false;
    row.visible = i == 0;
    t.push_back(std::move(row));
  }
  std::vector<ActionRow> rest = {
      // Beyond the designed file menu: the page shown saved and printed.
      Separator("mSepPage", A::FileMenu),
      PageTool(A::SavePage, "mnuSavePage", "名前を付けて保存(&S)...", A::FileMenu, "Ctrl+S",
               &MainPageTools::SavePage),
      PageTool(A::Print, "mnuPrint", "印刷(&P)...", A::FileMenu, "Ctrl+Shift+P",
               &MainPageTools::Print),
      // Beyond the designed file menu.
      Item(A::Downloads, "mnuDownloads", "ﾀﾞｳﾝﾛｰﾄﾞ(&L)...", A::FileMenu, "Ctrl+J",
           &MainCommandHost::ShowDownloads),
      Separator("mSep03", A::FileMenu),
      Item(A::Quit, "mnuQuit", "閉じる(&Q)", A::FileMenu, "Ctrl+Q", &MainCommandHost::CloseWindow),
      Menu(A::EditMenu, "mhEdit", "編集(&E)", A::None, &MainCommandHost::RefreshEditMenu),
      Item(A::CopyUrl, "mnuCopy", "URLのｺﾋﾟｰ(&C)", A::EditMenu, "Ctrl+C", &CopyUrl),
      Item(A::PasteUrl, "mnuPaste", "URLの貼り付け(&V)", A::EditMenu, "Ctrl+V", &PasteUrl),
      // Beyond the designed menus: finding in the page, and a view menu of what desktop browsers
      // offer for the page shown (the toolbar's commands with their keys, zoom, full screen).
      // Escape also stops a load (frmMain::EscapeFromPage): as an accelerator it would take the
      // key from the find bar and from input methods.
      Separator("mSepFind", A::EditMenu),
      PageTool(A::Find, "mnuFind", "検索(&F)...", A::EditMenu, "Ctrl+G", &MainPageTools::OpenFind),
      PageTool(A::FindNext, "mnuFindNext", "次を検索(&N)", A::EditMenu, "F3",
               &MainPageTools::FindNext),
      PageTool(A::FindPrevious, "mnuFindPrevious", "前を検索(&B)", A::EditMenu, "Shift+F3",
               &MainPageTools::FindPrevious),
      Menu(A::ViewMenu, "mhView", "表示(&V)"),
      Item(A::Back, "mnuBack", "戻る(&B)", A::ViewMenu, "Alt+Left",
           [](MainCommandHost& w) { w.browser().GoBack(); }),
      Item(A::Forward, "mnuForward", "進む(&F)", A::ViewMenu, "Alt+Right",
           [](MainCommandHost& w) { w.browser().GoForward(); }),
      Item(A::Refresh, "mnuRefresh", "更新(&R)", A::ViewMenu, "F5",
           [](MainCommandHost& w) { w.browser().Refresh2(); }),
      Item(A::Stop, "mnuStop", "中止(&S)", A::ViewMenu, "",
           [](MainCommandHost& w) { w.browser().Stop(); }),
      Separator("mSepView1", A::ViewMenu),
      Item(A::ZoomIn, "mnuZoomIn", "拡大(&I)", A::ViewMenu, "Ctrl+plus",
           [](MainCommandHost& w) { w.page_tools().ZoomStep(1); }),
      Item(A::ZoomOut, "mnuZoomOut", "縮小(&O)", A::ViewMenu, "Ctrl+minus",
           [](MainCommandHost& w) { w.page_tools().ZoomStep(-1); }),
      PageTool(A::ZoomReset, "mnuZoomReset", "元のｻｲｽﾞ(&Z)", A::ViewMenu, "Ctrl+0",
               &MainPageTools::ZoomReset),
      Separator("mSepView2", A::ViewMenu),
      Item(A::FullScreen, "mnuFullScreen", "全画面表示(&U)", A::ViewMenu, "F11",
           &MainCommandHost::ToggleFullScreen),
      Menu(A::JobMenu, "mhJob", "ｼﾞｮﾌﾞ(&J)"),
      Item(A::NewJob, "mnuNewJob", "新規ｼﾞｮﾌﾞの作成(&N)...", A::JobMenu, "Ctrl+N",
           [](MainCommandHost& w) { mnuNewJob_Click(w.job_host()); }),
      Item(A::EditJob, "mnuEditJob", "ｼﾞｮﾌﾞの編集(&E)...", A::JobMenu, "Ctrl+E",
           [](MainCommandHost& w) { mnuEditJob_Click(w.job_host()); }),
      Separator("mSep04", A::JobMenu),
      Item(A::ImportFavoritesFolder, "mnuImportFavFolder", "お気に入りﾌｫﾙﾀﾞのｲﾝﾎﾟｰﾄ(&M)...",
           A::JobMenu, "Ctrl+M",
           [](MainCommandHost& w) { mnuImportFavFolder_Click(w.job_host()); }),
      // Beyond the designed job menu.
      Separator("mSepJob1", A::JobMenu),
      Menu(A::AddToJobMenu, "mhAddToJob", kAddPageToJobCaption, A::JobMenu,
           [](MainCommandHost& w) { w.job_extras().RebuildAddToJobMenu(); }),
      NeedsJob(Item(A::ResumeJob, "mnuResumeJob", "続きから開く(&R)", A::JobMenu, "",
                    [](MainCommandHost& w) { w.job_extras().ResumeSelectedJob(); })),
      Separator("mSepJob2", A::JobMenu),
      Item(A::ImportBookmarks, "mnuImportBookmarks", kImportBookmarksCaption, A::JobMenu, "",
           [](MainCommandHost& w) { w.job_extras().ImportBookmarks(); }),
      NeedsJob(Item(A::ExportBookmarks, "mnuExportBookmarks", kExportBookmarksCaption, A::JobMenu,
                    "", [](MainCommandHost& w) { w.job_extras().ExportBookmarks(); })),
      NeedsJob(Item(A::ExportShortcuts, "mnuExportShortcuts", kExportShortcutsCaption, A::JobMenu,
                    "", [](MainCommandHost& w) { w.job_extras().ExportShortcuts(); })),
      Separator("mSepJob3", A::JobMenu),
      Item(A::JobFromPageLinks, "mnuJobFromLinks", kJobFromPageLinksCaption, A::JobMenu, "",
           [](MainCommandHost& w) { w.job_extras().JobFromPageLinks(); }),
      Item(A::JobFromUrlList, "mnuJobFromUrlList", kJobFromUrlListCaption, A::JobMenu, "",
           [](MainCommandHost& w) { w.job_extras().JobFromUrlList(); }),
      // The job bar's step buttons cmdNav(0) to cmdNav(4), with keys.
      Separator("mSepJobSteps", A::JobMenu),
      Item(A::FirstEntry, "mnuFirstEntry", "先頭へ(&F)", A::JobMenu, "Alt+Home",
           [](MainCommandHost& w) { w.StepJob(kStepFirst); }),
      Item(A::PreviousEntry, "mnuPreviousEntry", "一つ前(&P)", A::JobMenu, "Alt+Page_Up",
           [](MainCommandHost& w) { w.StepJob(kStepPrevious); }),
      Item(A::NextEntry, "mnuNextEntry", "次(&S)", A::JobMenu, "Alt+Page_Down",
           [](MainCommandHost& w) { w.StepJob(kStepNext); }),
      Item(A::LastEntry, "mnuLastEntry", "最後へ(&O)", A::JobMenu, "Alt+End",
           [](MainCommandHost& w) { w.StepJob(kStepLast); }),
      Item(A::EntryList, "mnuEntryList", "一覧から選択(&I)...", A::JobMenu, "Alt+L",
           [](MainCommandHost& w) { w.StepJob(kStepList); }),
      // A round through the loaded job (app/main_rounds.h).
      Separator("mSepRound", A::JobMenu),
      NeedsJob(Item(A::CheckUpdates, "mnuCheckUpdates", kCheckUpdatesCaption, A::JobMenu, "",
                    [](MainCommandHost& w) { w.rounds().CheckUpdates(); })),
      NeedsJob(Item(A::NextUpdate, "mnuNextUpdate", kNextUpdateCaption, A::JobMenu,
                    kNextUpdateShortcut, [](MainCommandHost& w) { w.rounds().NextUpdate(); })),
      NeedsJob(Item(A::MarkAllSeen, "mnuMarkAllSeen", kMarkAllSeenCaption, A::JobMenu, "",
                    [](MainCommandHost& w) { w.rounds().MarkAllSeen(); })),
      AutoCheckJobItem(),
      Menu(A::PocketMenu, "mhPocket", "ﾎﾟｹｯﾄ(&P)"),
      Menu(A::ClearMenu, "mnuClear", "ｸﾘｱ(&C)", A::PocketMenu),
      Item(A::ClearAllPockets, "mnuClearAll", "すべて(&A)", A::ClearMenu, "Ctrl+P",
           [](MainCommandHost& w) { w.pockets().ClearAll(); }),
      Separator("mSep05", A::ClearMenu),
      Indexed(Item(A::ClearPocket, "mnuCPckt(0)", "ﾎﾟｹｯﾄ&1", A::ClearMenu, "",
                   [](MainCommandHost& w) { w.pockets().Clear(0); }),
              0),
      Indexed(Item(A::ClearPocket, "mnuCPckt(1)", "ﾎﾟｹｯﾄ&2", A::ClearMenu, "",
                   [](MainCommandHost& w) { w.pockets().Clear(1); }),
              1),
      Indexed(Item(A::ClearPocket, "mnuCPckt(2)", "ﾎﾟｹｯﾄ&3", A::ClearMenu, "",
                   [](MainCommandHost& w) { w.pockets().Clear(2); }),
              2),
      Menu(A::SettingsMenu, "mhConfig", "設定(&C)", A::None,
           [](MainCommandHost& w) {
             w.skin().RebuildMenu(*w.menu_item(A::SkinMenu)->get_submenu());
             // Another window may have changed the setting.
             if (auto* item = dynamic_cast<Gtk::CheckMenuItem*>(w.menu_item(A::PrepareNext)))
               item->set_active(MainStepAhead::Enabled());
             if (auto* item = dynamic_cast<Gtk::CheckMenuItem*>(w.menu_item(A::SpellCheck)))
               item->set_active(MainPageExtras::SpellCheckEnabled());
           }),
      Item(A::HomeUrl, "mnuHomeURL", "ﾎｰﾑURL(&H)...", A::SettingsMenu, "",
           &MainCommandHost::HomeUrlPrompt),
      Item(A::FavoritesFolder, "mnuFavPath", "お気に入りﾌｫﾙﾀﾞ(&F)...", A::SettingsMenu, "",
           [](MainCommandHost& w) { ChooseFavoritesFolder(&w.command_window()); }),
      Item(A::JobsFolder, "mnuJobsFolder", "ｼﾞｮﾌﾞの保存先(&J)...", A::SettingsMenu, "",
           [](MainCommandHost& w) { mnuJobsFolder_Click(w.job_host()); }),
      Separator("mSep06", A::SettingsMenu),
      Item(A::DefaultBrowser, "mnuDefBro", "ﾃﾞﾌｫﾙﾄﾌﾞﾗｳｻﾞにする(&D)", A::SettingsMenu, "",
           [](MainCommandHost& w) { mnuDefBro_Click(&w.command_window()); }),
      Separator("mSep07", A::SettingsMenu),
      Menu(A::SkinMenu, "mnuSkin", "ｽｷﾝの変更(&S)", A::SettingsMenu),
      Item(A::DefaultSkin, "mnuSelSkin(0)", "ﾃﾞﾌｫﾙﾄ(&D)", A::SkinMenu, "",
           [](MainCommandHost& w) { w.skin().Select(0, "ﾃﾞﾌｫﾙﾄ(&D)"); }),
      Separator("mSep08", A::SettingsMenu),
      PrepareNextItem(),
      HighlightChangesItem(),
      Item(A::AutoCheckHours, "mnuAutoCheckHours", kAutoCheckHoursCaption, A::SettingsMenu, "",
           [](MainCommandHost& w) { w.rounds().AskAutoCheckHours(); }),
      SpellCheckItem(),
      Item(A::InternetSettings, "mnuInet", "ｲﾝﾀｰﾈｯﾄの設定(&I)...", A::SettingsMenu, "Ctrl+I",
           [](MainCommandHost& w) { mnuInet_Click(&w.command_window()); }),
      Menu(A::HelpMenu, "mhHelp", "ﾍﾙﾌﾟ(&P)"),
      Item(A::Help, "mnuHelp", "ﾍﾙﾌﾟを開く(&O)...", A::HelpMenu, "Ctrl+H",
           [](MainCommandHost& w) { mnuHelp_Click(&w.command_window()); }),
      Separator("mSep09", A::HelpMenu),
      Item(A::AuthorPage, "mnuAuthorPage", "作者ﾎｰﾑﾍﾟｰｼﾞへ(&A)", A::HelpMenu, "Ctrl+A",
           [](MainCommandHost& w) { mnuAuthorPage_Click(w.browser()); }),
      Item(A::Version, "mnuVer", "ﾊﾞｰｼﾞｮﾝ情報(&V)...", A::HelpMenu, "Ctrl+R",
           [](MainCommandHost& w) { mnuVer_Click(&w.command_window()); }),
      // The toolbar's button 3 (the buttons 1, 2, 5 and 6 are in the view menu).
      Button(A::Home, &MainCommandHost::GoHome),
      // Enter in the address box and the Go button; the mode picture.
      Button(A::Go, &MainCommandHost::Go),
      Button(A::ToggleMode, &MainCommandHost::ToggleMode),
  };
  t.insert(t.end(), std::make_move_iterator(rest.begin()), std::make_move_iterator(rest.end()));
  return t;
}

}  // namespace

const std::vector<ActionRow>& MainActionRows() {
  static const std::vector<ActionRow> rows = BuildRows();
  return rows;
}

const ActionRow* FindAction(ActionId id, int index) {
  if (id == A::None) return nullptr;
  for (const ActionRow& row : MainActionRows())
    if (row.id == id && row.index == index) return &row;
  return nullptr;
}

}  // namespace tarvik
