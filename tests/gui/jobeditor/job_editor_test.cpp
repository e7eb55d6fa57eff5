// The job editor and the job commands, driven through their real widgets with scripted dialogs,
// on job files in a temporary application folder.
#include <glib.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <glibmm/main.h>
#include <gtkmm/window.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "favorites/favorites_folder.h"
#include "jobs/frm_edit_job.h"
#include "jobs/job_commands.h"
#include "jobs/job_files.h"
#include "jobs/job_host.h"
#include "platform/settings_store.h"
#include "support/fake_browser.h"
#include "support/gui_test.h"
#include "support/scripted_dialogs.h"

namespace tarvik {
namespace {

using test::FakeBrowser;
using test::Pump;
using test::ScriptedDialogs;
using test::ShownDialog;
using test::TempDir;

using Entries = std::vector<JobEntry>;

// The main window's side, over a plain window: a job selector kept as names and an index,
// filled from the job list file the way the main window fills its own.
class FakeJobHost : public JobHost {
 public:
  Gtk::Window& job_window() override { return window; }
  int JobSelectorIndex() override { return index; }
  int JobSelectorCount() override { return static_cast<int>(items.size()); }
  bool JobSelected() override {
    return index >= 0 && index < static_cast<int>(items.size()) && !items[index].empty();
  }
  void LoadJobList(int select_index) override {
    calls.push_back("LoadJobList:" + std::to_string(select_index));
    auto names = ReadJobList(app_folder);
    if (!names) return;
    items = *names;
    index = select_index < static_cast<int>(items.size()) ? select_index
                                                          : static_cast<int>(items.size()) - 1;
  }
  bool LoadSelectedJob(bool keep_position) override {
    calls.push_back(std::string("LoadSelectedJob:") + (keep_position ? "true" : "false"));
    return true;
  }
  bool& NewJobFlag() override { return new_job_flag; }
  BrowserControl* FirstWindowBrowser() override { return &browser; }

  std::string app_folder;
  Gtk::Window window;
  FakeBrowser browser;
  std::vector<std::string> items;
  int index = -1;
  bool new_job_flag = false;
  std::vector<std::string> calls;
};

// Runs `drive` on the job editor as soon as it is shown modally. The drive is expected to close
// it; an editor left open fails the test and is cancelled.
class WhenEditorOpens {
 public:
  explicit WhenEditorOpens(std::function<void(frmEditJob&)> drive) : drive_(std::move(drive)) {
    connection_ = Glib::signal_timeout().connect(
        [this] {
          for (Gtk::Window* w : Gtk::Window::list_toplevels()) {
            auto* editor = dynamic_cast<frmEditJob*>(w);
            if (!editor || !editor->get_visible()) continue;
            ++opened;
            drive_(*editor);
            if (!editor->closed()) {
              ADD_FAILURE() << "the editor was left open";
              editor->response(Gtk::RESPONSE_CANCEL);
            }
            return false;
          }
          return true;
        },
        10);
  }
  ~WhenEditorOpens() { connection_.disconnect(); }
  int opened = 0;

 private:
  std::function<void(frmEditJob&)> drive_;
  sigc::connection connection_;
};

// Hands `payload` to `target` as a drop of type `mime`, through the widget's own
// "drag-data-received" handler. The selection data comes from a private selection owned by this
// process, so it is the same kind of object a real drop delivers.
void DropOnto(Gtk::Widget& target, const std::string& mime, const std::string& payload) {
  static std::string data;
  data = payload;
  GtkClipboard* clipboard = gtk_clipboard_get(gdk_atom_intern_static_string("TARVIK_TEST_DROP"));
  GtkTargetEntry entry = {const_cast<gchar*>(mime.c_str()), 0, 0};
  gtk_clipboard_set_with_data(
      clipboard, &entry, 1,
      [](GtkClipboard*, GtkSelectionData* selection, guint, gpointer text) {
        auto* s = static_cast<std::string*>(text);
        gtk_selection_data_set(selection, gtk_selection_data_get_target(selection), 8,
                               reinterpret_cast<const guchar*>(s->data()),
                               static_cast<gint>(s->size()));
      },
      nullptr, &data);
  GtkSelectionData* selection =
      gtk_clipboard_wait_for_contents(clipboard, gdk_atom_intern(mime.c_str(), FALSE));
  ASSERT_NE(selection, nullptr);
  g_signal_emit_by_name(target.gobj(), "drag-data-received", nullptr, 0, 0, selection, 0u, 0u);
  gtk_selection_data_free(selection);
}

std::string FileUri(const std::string& path) {
  gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
  std::string result = uri;
  g_free(uri);
  return result;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  ASSERT_TRUE(g_file_set_contents(path.c_str(), bytes.data(), static_cast<gssize>(bytes.size()),
                                  nullptr));
}

class JobEditorTest : public testing::Test {
 protected:
  void SetUp() override {
    g_setenv("TARVIK_HOME", app_.path().c_str(), TRUE);
    host_.app_folder = app_.path();
    g_mkdir(app_.file("JobFiles").c_str(), 0700);
    SetUserSettingsPath(settings_.file("settings.ini"));
    SaveSetting("Setting", "FavoritesPath", favorites_.path());
    ResolveFavoritesFolder();
  }
  void TearDown() override {
    EXPECT_TRUE(dialogs_.all_used()) << "a scripted answer was not asked for";
    SetUserSettingsPath("");
  }

  // Writes the job list and one job file per job, in order.
  void WriteJobs(const std::vector<std::pair<std::string, Entries>>& jobs) {
    std::vector<std::string> names;
    for (const auto& [name, entries] : jobs) {
      names.push_back(name);
      ASSERT_TRUE(WriteJobFile(app_.path(), name, entries));
    }
    ASSERT_TRUE(RewriteJobList(app_.path(), names));
  }
  std::optional<Entries> OnDisk(const std::string& name) {
    auto job = ReadJobFile(app_.path(), name);
    if (!job) return std::nullopt;
    return job->entries;
  }
  std::vector<std::string> ListOnDisk() { return ReadJobList(app_.path()).value_or(std::vector<std::string>{"<missing>"}); }

  // The editor as the main window shows it, but without a modal loop of its own.
  std::unique_ptr<frmEditJob> Open(int spcf_idx) {
    auto editor = std::make_unique<frmEditJob>(&host_.window, &host_.browser);
    editor->SpcfIdx = spcf_idx;
    editor->Form_Load();
    editor->show();
    frmEditJob* shown = editor.get();
    EXPECT_TRUE(test::RunUntil([shown] { return shown->get_mapped(); }, 3000));
    return editor;
  }
  static void SelectRow(frmEditJob& editor, int p) {
    Gtk::TreeModel::Path path;
    path.push_back(p);
    editor.lsvURL().get_selection()->select(path);
  }
  static void SelectJob(frmEditJob& editor, int index) { editor.cboJob().set_active(index); }
  static std::vector<std::string> SelectorItems(frmEditJob& editor) {
    std::vector<std::string> items;
    for (const auto& row : editor.cboJob().get_model()->children()) {
      Glib::ustring text;
      row.get_value(0, text);
      items.push_back(text.raw());
    }
    return items;
  }
  static bool RowButtonsEnabled(frmEditJob& e) {
    return e.cmdChange().get_sensitive() && e.cmdDel().get_sensitive() &&
           e.cmdUp().get_sensitive() && e.cmdDown().get_sensitive();
  }
  static bool RowButtonsDisabled(frmEditJob& e) {
    return !e.cmdChange().get_sensitive() && !e.cmdDel().get_sensitive() &&
           !e.cmdUp().get_sensitive() && !e.cmdDown().get_sensitive();
  }
  void ExpectMessage(size_t i, const std::string& text, const std::string& caption, MsgIcon icon) {
    ASSERT_LT(i, dialogs_.shown.size());
    const ShownDialog& d = dialogs_.shown[i];
    EXPECT_EQ(d.kind, "message");
    EXPECT_EQ(d.text, text);
    EXPECT_EQ(d.caption, caption);
    EXPECT_EQ(d.icon, icon);
  }
  // Saves through cmdRefresh, answering the save question with OK.
  void Save(frmEditJob& editor) {
    dialogs_.AnswerMessage(MsgResult::OK);
    editor.cmdRefresh().clicked();
  }

  const Entries kNews = {{"Top", "http://news/"}, {"World", "http://news/world"},
                         {"Sport", "http://news/sport"}};

  TempDir app_;
  TempDir settings_;
  TempDir favorites_;
  FakeJobHost host_;
  ScriptedDialogs dialogs_;
};

// ---- The dialog as designed --------------------------------------------------------------------

TEST_F(JobEditorTest, ControlsHaveTheirCaptionsTooltipsAndInitialState) {
  WriteJobs({{"News", kNews}});
  auto e = Open(-1);
  EXPECT_EQ(e->get_title(), "ジョブの編集");
  EXPECT_TRUE(e->get_modal());
  EXPECT_EQ(e->get_transient_for(), &host_.window);

  struct Button {
    Gtk::Button& button;
    const char* label;
    const char* tooltip;
    bool enabled;
  } buttons[] = {
      {e->cmdAdd(), "追加(_A)", "入力したデータをリストに追加", true},
      {e->cmdChange(), "変更(_T)", "選択したデータを入力したデータに変更", false},
      {e->cmdDel(), "削除(_D)", "選択したデータをリストから削除", false},
      {e->cmdUp(), "↑", "順序を一つ上に移動", false},
      {e->cmdDown(), "↓", "順序を一つ下に移動", false},
      {e->cmdCurVw(), "表示中のページ(_L)", "メインウィンドウで表示中のURLを入力", true},
      {e->cmdFav(), "お気に入り(_F)...", "お気に入りからURLを入力", true},
      {e->cmdName(), "ジョブ名の変更(_N)...", "選択ジョブの名前を変更", false},
      {e->cmdKillJob(), "ジョブの削除(_K)...", "選択ジョブを削除", false},
      {e->cmdRefresh(), "更新(_R)", "変更を保存して編集を続行する", true},
      {e->cmdOK(), "_OK", "変更を保存してウィンドウを閉じる", true},
      {e->cmdCancel(), "_Cancel", "変更を保存しないでウィンドウを閉じる", true},
  };
  for (const Button& b : buttons) {
    SCOPED_TRACE(b.label);
    EXPECT_EQ(b.button.get_label(), b.label);
    EXPECT_TRUE(b.button.get_use_underline());
    EXPECT_EQ(b.button.get_tooltip_text(), b.tooltip);
    EXPECT_EQ(b.button.get_sensitive(), b.enabled);
    EXPECT_TRUE(b.button.get_mapped());
  }
  EXPECT_EQ(e->chkClear().get_label(), "追加後、自動でテキストをクリア");
  EXPECT_EQ(e->chkClear().get_tooltip_text(), "リスト追加時、入力欄を消去する");
  EXPECT_FALSE(e->chkClear().get_active());
  EXPECT_EQ(e->cboJob().get_tooltip_text(), "ジョブの選択");
  EXPECT_EQ(e->lsvURL().get_tooltip_text(), "ジョブに登録されたURLの一覧");
  EXPECT_EQ(e->txtTitle().get_tooltip_text(), "タイトルの入力");
  EXPECT_EQ(e->txtURL().get_tooltip_text(), "URLの入力");
  ASSERT_EQ(e->lsvURL().get_n_columns(), 2u);
  EXPECT_EQ(e->lsvURL().get_column(0)->get_title(), "タイトル");
  EXPECT_EQ(e->lsvURL().get_column(1)->get_title(), "URL");
  const char* labels[] = {"編集対象ジョブ", "URLリスト", "タイトル", "URL"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(e->Label(i).get_text(), labels[i]);

  // Nothing preselected: the job list is there, no job and no rows.
  EXPECT_EQ(SelectorItems(*e), std::vector<std::string>{"News"});
  EXPECT_EQ(e->cboJob().get_active_row_number(), -1);
  EXPECT_EQ(e->EditJobIdx(), -1);
  EXPECT_TRUE(e->Rows().empty());
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(JobEditorTest, ListAndTextBoxesAcceptLinksAndFileLists) {
  auto e = Open(-1);
  for (Gtk::Widget* w : {static_cast<Gtk::Widget*>(&e->lsvURL()),
                         static_cast<Gtk::Widget*>(&e->txtTitle()),
                         static_cast<Gtk::Widget*>(&e->txtURL())}) {
    auto targets = w->drag_dest_get_target_list();
    ASSERT_TRUE(targets);
    EXPECT_TRUE(targets->find("text/uri-list", nullptr));
    EXPECT_TRUE(targets->find("text/plain", nullptr));
  }
}

TEST_F(JobEditorTest, PreselectedJobIsLoaded) {
  WriteJobs({{"A", {{"a", "http://a/"}}}, {"News", kNews}});
  auto e = Open(1);
  EXPECT_EQ(e->cboJob().get_active_text(), "News");
  EXPECT_EQ(e->EditJobIdx(), 1);
  EXPECT_EQ(e->Rows(), kNews);
  EXPECT_EQ(e->EditEntries(), kNews);
  EXPECT_EQ(e->EditLastIdx(), 2);
  EXPECT_TRUE(e->cmdName().get_sensitive());
  EXPECT_TRUE(e->cmdKillJob().get_sensitive());
  EXPECT_EQ(e->SelectedRow(), -1);
}

TEST_F(JobEditorTest, MissingJobListIsReportedAndNoJobIsShown) {
  auto e = Open(0);
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  ExpectMessage(0, "ジョブリストファイル TVJob.lst が見つかりません。\r\nジョブを読み込まずに起動します。",
                "エラー", MsgIcon::Exclamation);
  EXPECT_EQ(e->cboJob().get_active_row_number(), -1);
  EXPECT_FALSE(e->cmdName().get_sensitive());
  EXPECT_TRUE(e->Rows().empty());
}

// ---- Adding and changing entries ---------------------------------------------------------------

TEST_F(JobEditorTest, AddingWithAURLOfSpacesOnlyAsksForTheURLFirst) {
  WriteJobs({{"News", kNews}});
  auto e = Open(0);
  e->txtTitle().set_text("");
  e->txtURL().set_text("    ");
  e->cmdAdd().clicked();
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  ExpectMessage(0, "URLが指定されていません", "エラー", MsgIcon::Exclamation);

  e->txtTitle().set_text("  ");
  e->txtURL().set_text("http://x/");
  e->cmdAdd().clicked();
  ASSERT_EQ(dialogs_.shown.size(), 2u);
  ExpectMessage(1, "タイトルが指定されていません", "エラー", MsgIcon::Exclamation);

  EXPECT_EQ(e->Rows(), kNews);
  EXPECT_EQ(e->EditEntries(), kNews);
  EXPECT_EQ(OnDisk("News"), kNews);
}

TEST_F(JobEditorTest, AddingTrimsAndClearsTheBoxesOnlyWhenAsked) {
  WriteJobs({{"News", kNews}});
  auto e = Open(0);
  e->txtTitle().set_text("  Weather ");
  e->txtURL().set_text(" http://news/weather  ");
  e->cmdAdd().clicked();
  EXPECT_EQ(e->txtTitle().get_text(), "  Weather ");  // unchecked: the boxes keep their text
  EXPECT_EQ(e->txtURL().get_text(), " http://news/weather  ");

  e->chkClear().set_active(true);
  e->txtTitle().set_text("Tech");
  e->txtURL().set_text("http://news/tech");
  e->cmdAdd().clicked();
  EXPECT_EQ(e->txtTitle().get_text(), "");
  EXPECT_EQ(e->txtURL().get_text(), "");

  Entries expected = kNews;
  expected.push_back({"Weather", "http://news/weather"});
  expected.push_back({"Tech", "http://news/tech"});
  EXPECT_EQ(e->Rows(), expected);
  EXPECT_EQ(e->EditEntries(), expected);
  EXPECT_EQ(e->EditLastIdx(), 4);
  EXPECT_EQ(OnDisk("News"), kNews) << "nothing reaches the file before a save";

  Save(*e);
  ExpectMessage(0, "ジョブ「News」の変更を\r\n保存します", "確認", MsgIcon::Information);
  EXPECT_EQ(dialogs_.shown[0].buttons, MsgButtons::OKCancel);
  EXPECT_EQ(OnDisk("News"), expected);
}

TEST_F(JobEditorTest, RowClickFillsTheBoxesAndChangeReplacesTheRow) {
  WriteJobs({{"News", kNews}});
  auto e = Open(0);
  EXPECT_TRUE(RowButtonsDisabled(*e));
  SelectRow(*e, 1);
  EXPECT_TRUE(RowButtonsEnabled(*e));
  EXPECT_EQ(e->txtTitle().get_text(), "World");
  EXPECT_EQ(e->txtURL().get_text(), "http://news/world");

  e->txtTitle().set_text(" Welt, Europa ");
  e->txtURL().set_text("http://news/welt");
  e->cmdChange().clicked();
  Entries expected = kNews;
  expected[1] = {"Welt, Europa", "http://news/welt"};
  EXPECT_EQ(e->Rows(), expected);
  EXPECT_EQ(e->EditEntries(), expected);
  EXPECT_EQ(e->txtTitle().get_text(), " Welt, Europa ");

  e->txtURL().set_text("");
  e->cmdChange().clicked();
  ExpectMessage(0, "URLが指定されていません", "エラー", MsgIcon::Exclamation);
  EXPECT_EQ(e->Rows(), expected);

  Save(*e);
  expected[1].Title = "Welt Europa";  // the file keeps no commas in titles
  EXPECT_EQ(OnDisk("News"), expected);
}

// ---- Filling the boxes from elsewhere ----------------------------------------------------------

TEST_F(JobEditorTest, PageShownInTheFirstWindowFillsTheBoxes) {
  WriteJobs({{"News", kNews}});
  host_.browser.location_url = "http://shown.example/page";
  host_.browser.location_name = "表示中";
  auto e = Open(0);
  e->cmdCurVw().clicked();
  EXPECT_EQ(e->txtTitle().get_text(), "表示中");
  EXPECT_EQ(e->txtURL().get_text(), "http://shown.example/page");
  EXPECT_EQ(e->Rows(), kNews);
}

TEST_F(JobEditorTest, FavoriteWithSeveralDotsGivesTheNameBeforeTheFirstDot) {
  WriteJobs({{"News", kNews}});
  const std::string path = favorites_.file("www.example.co.jp.url");
  WriteBytes(path, "[InternetShortcut]\r\nURL=http://www.example.co.jp/\r\n");
  auto e = Open(0);
  dialogs_.AnswerFile(path);
  e->cmdFav().clicked();
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  const ShownDialog& d = dialogs_.shown[0];
  EXPECT_EQ(d.kind, "open");
  EXPECT_EQ(d.file_options.title, "お気に入りを開く");
  ASSERT_EQ(d.file_options.filters.size(), 1u);
  EXPECT_EQ(d.file_options.filters[0].name, "お気に入り(*.url)");
  EXPECT_EQ(d.file_options.filters[0].patterns, std::vector<std::string>{"*.url"});
  EXPECT_EQ(d.file_options.default_extension, "url");
  EXPECT_EQ(d.file_options.initial_folder, favorites_.path());
  EXPECT_EQ(e->txtTitle().get_text(), "www");
  EXPECT_EQ(e->txtURL().get_text(), "http://www.example.co.jp/");

  // Cancelling the file dialog leaves the boxes alone.
  dialogs_.AnswerFile(std::nullopt);
  e->cmdFav().clicked();
  EXPECT_EQ(e->txtTitle().get_text(), "www");
  EXPECT_EQ(e->Rows(), kNews);
}

// ---- Drops -------------------------------------------------------------------------------------

TEST_F(JobEditorTest, DroppedLinkIsAppendedAsTitleAndURL) {
  WriteJobs({{"News", kNews}});
  auto e = Open(0);
  e->chkClear().set_active(true);
  e->txtTitle().set_text("kept");
  DropOnto(e->lsvURL(), "text/uri-list", "http://dropped.example/a,b\r\n");
  DropOnto(e->lsvURL(), "text/plain", "  http://plain.example/  ");
  Entries expected = kNews;
  expected.push_back({"http://dropped.example/a,b", "http://dropped.example/a,b"});
  expected.push_back({"  http://plain.example/  ", "  http://plain.example/  "});
  EXPECT_EQ(e->Rows(), expected);
  EXPECT_EQ(e->EditEntries(), expected);
  EXPECT_EQ(e->txtTitle().get_text(), "kept");
  EXPECT_TRUE(dialogs_.shown.empty());

  Save(*e);
  auto disk = OnDisk("News");
  ASSERT_TRUE(disk);
  ASSERT_EQ(disk->size(), 5u);
  EXPECT_EQ((*disk)[3].URL, "http://dropped.example/a,b") << "a URL with a comma survives";
  EXPECT_EQ((*disk)[4].URL, "  http://plain.example/  ");
}

TEST_F(JobEditorTest, DroppedFileOnTheURLBoxFillsBothBoxes) {
  WriteJobs({{"News", kNews}});
  const std::string path = favorites_.file("docs.example.org.url");
  WriteBytes(path, "[InternetShortcut]\r\nURL=http://docs.example.org/\r\n");
  auto e = Open(0);
  DropOnto(e->txtURL(), "text/uri-list", FileUri(path) + "\r\n");
  EXPECT_EQ(e->txtTitle().get_text(), "docs");
  EXPECT_EQ(e->txtURL().get_text(), "http://docs.example.org/");

  DropOnto(e->txtTitle(), "text/plain;charset=utf-8", "http://日本.example/");
  EXPECT_EQ(e->txtTitle().get_text(), "http://日本.example/") << "the widget did not insert it too";
  EXPECT_EQ(e->txtURL().get_text(), "http://日本.example/");

  DropOnto(e->lsvURL(), "text/uri-list", FileUri(path) + "\r\n");
  ASSERT_EQ(e->Rows().size(), 4u);
  EXPECT_EQ(e->Rows()[3], (JobEntry{"docs", "http://docs.example.org/"}));
  EXPECT_EQ(OnDisk("News"), kNews);
}

TEST_F(JobEditorTest, DropsAreIgnoredWhileNoJobIsSelected) {
  WriteJobs({{"News", kNews}});
  auto e = Open(-1);
  DropOnto(e->lsvURL(), "text/uri-list", "http://ignored/\r\n");
  DropOnto(e->txtURL(), "text/plain", "http://ignored/");
  EXPECT_TRUE(e->Rows().empty());
  EXPECT_EQ(e->EditLastIdx(), -1);
  EXPECT_EQ(e->txtURL().get_text(), "");
}

// ---- Moving and deleting rows ------------------------------------------------------------------

TEST_F(JobEditorTest, MovingTheFirstRowUpOrTheLastDownChangesNothing) {
  WriteJobs({{"News", kNews}});
  auto e = Open(0);
  SelectRow(*e, 0);
  e->cmdUp().clicked();
  EXPECT_EQ(e->Rows(), kNews);
  EXPECT_EQ(e->SelectedRow(), 0);
  SelectRow(*e, 2);
  e->cmdDown().clicked();
  EXPECT_EQ(e->Rows(), kNews);
  EXPECT_EQ(e->EditEntries(), kNews);
  EXPECT_EQ(e->SelectedRow(), 2);
}

TEST_F(JobEditorTest, MovedRowStaysSelectedAndTheBoxesKeepTheirText) {
  WriteJobs({{"News", kNews}});
  auto e = Open(0);
  SelectRow(*e, 2);
  e->txtTitle().set_text("typed");
  e->cmdUp().clicked();
  Entries expected = {kNews[0], kNews[2], kNews[1]};
  EXPECT_EQ(e->Rows(), expected);
  EXPECT_EQ(e->EditEntries(), expected);
  EXPECT_EQ(e->SelectedRow(), 1);
  EXPECT_EQ(e->txtTitle().get_text(), "typed");
  e->cmdUp().clicked();
  e->cmdDown().clicked();
  e->cmdDown().clicked();
  expected = {kNews[0], kNews[1], kNews[2]};
  EXPECT_EQ(e->Rows(), expected);
  EXPECT_EQ(e->SelectedRow(), 2);
  SelectRow(*e, 0);
  e->cmdDown().clicked();
  expected = {kNews[1], kNews[0], kNews[2]};
  EXPECT_EQ(e->EditEntries(), expected);
  Save(*e);
  EXPECT_EQ(OnDisk("News"), expected);
}

TEST_F(JobEditorTest, DeletingAsksAndNoKeepsTheRow) {
  WriteJobs({{"News", kNews}});
  auto e = Open(0);
  SelectRow(*e, 1);
  dialogs_.AnswerMessage(MsgResult::No);
  e->cmdDel().clicked();
  ExpectMessage(0, "Worldを削除しますか？", "確認", MsgIcon::Question);
  EXPECT_EQ(dialogs_.shown[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(e->Rows(), kNews);

  dialogs_.AnswerMessage(MsgResult::Yes);
  e->cmdDel().clicked();
  Entries expected = {kNews[0], kNews[2]};
  EXPECT_EQ(e->Rows(), expected);
  EXPECT_EQ(e->EditEntries(), expected);
  EXPECT_TRUE(RowButtonsEnabled(*e));
  Save(*e);
  EXPECT_EQ(OnDisk("News"), expected);
}

TEST_F(JobEditorTest, DeletingTheOnlyRowDisablesTheRowButtonsAndKeepsTheText) {
  WriteJobs({{"One", {{"only", "http://only/"}}}});
  auto e = Open(0);
  SelectRow(*e, 0);
  dialogs_.AnswerMessage(MsgResult::Yes);
  e->cmdDel().clicked();
  EXPECT_TRUE(e->Rows().empty());
  EXPECT_EQ(e->EditLastIdx(), -1);
  EXPECT_TRUE(RowButtonsDisabled(*e));
  EXPECT_EQ(e->txtTitle().get_text(), "only");
  EXPECT_EQ(e->txtURL().get_text(), "http://only/");

  // An empty job cannot be saved, and OK keeps the dialog open.
  e->cmdOK().clicked();
  ExpectMessage(1, "ジョブ「One」にはURLが\r\n一件も登録されていません。", "エラー",
                MsgIcon::Exclamation);
  EXPECT_FALSE(e->CanClose());
  EXPECT_FALSE(e->closed());
  EXPECT_TRUE(e->get_visible());
  EXPECT_EQ(OnDisk("One"), (Entries{{"only", "http://only/"}}));
}

TEST_F(JobEditorTest, DeletedEntryNeverOverwritesTheNextOne) {
  WriteJobs({{"News", kNews}});
  auto e = Open(0);
  // A click puts the view's cursor on the row as well as selecting it.
  e->lsvURL().set_cursor(Gtk::TreeModel::Path("1"));
  ASSERT_EQ(e->SelectedRow(), 1);
  ASSERT_EQ(e->txtTitle().get_text(), "World");
  dialogs_.AnswerMessage(MsgResult::Yes);
  e->cmdDel().clicked();
  Pump(50);

  // No row is selected afterwards, and the boxes keep what they held.
  const Entries expected = {kNews[0], kNews[2]};
  EXPECT_EQ(e->SelectedRow(), -1);
  EXPECT_EQ(e->Rows(), expected);
  EXPECT_EQ(e->txtTitle().get_text(), "World");
  EXPECT_EQ(e->txtURL().get_text(), "http://news/world");

  // 変更 then has no row to change, and OK saves the job without the deleted entry.
  e->cmdChange().clicked();
  EXPECT_EQ(e->Rows(), expected);
  EXPECT_EQ(e->EditEntries(), expected);
  dialogs_.AnswerMessage(MsgResult::OK);
  e->cmdOK().clicked();
  EXPECT_TRUE(e->closed());
  EXPECT_EQ(OnDisk("News"), expected);
}

TEST_F(JobEditorTest, HugeTitleIsShownShortAndKeptWhole) {
  // A title of two megabytes, as a broken or hostile job file can hold.
  std::string huge;
  while (huge.size() < 2 * 1024 * 1024) huge += "とても長い見出し";
  const Entries entries = {{"first", "http://first/"}, {huge, "http://huge/"}};
  WriteJobs({{"Big", entries}});
  auto e = Open(0);
  Pump(50);

  // The list cell shows a few hundred characters; the row holds the whole title.
  Gtk::TreeViewColumn* column = e->lsvURL().get_column(0);
  auto* cell = dynamic_cast<Gtk::CellRendererText*>(column->get_first_cell());
  ASSERT_NE(cell, nullptr);
  column->cell_set_cell_data(e->list_model(), e->list_model()->children()[1], false, false);
  const Glib::ustring shown = cell->property_text().get_value();
  EXPECT_LE(shown.size(), 300u);
  EXPECT_EQ(shown.raw().substr(shown.raw().size() - 3), "…");
  EXPECT_EQ(huge.compare(0, shown.bytes() - 3, shown.raw(), 0, shown.bytes() - 3), 0);
  EXPECT_TRUE(e->Rows() == entries);

  // The delete question names it shortened too.
  SelectRow(*e, 1);
  dialogs_.AnswerMessage(MsgResult::No);
  e->cmdDel().clicked();
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_LT(dialogs_.shown[0].text.size(), 1200u);
  EXPECT_EQ(dialogs_.shown[0].text.substr(dialogs_.shown[0].text.size() - 27), "…を削除しますか？");

  Save(*e);
  EXPECT_TRUE(OnDisk("Big") == entries);
}

TEST_F(JobEditorTest, RowButtonsWithNoRowSelectedDoNothing) {
  WriteJobs({{"A", {{"a1", "http://a1/"}, {"a2", "http://a2/"}}}, {"B", kNews}});
  auto e = Open(0);
  SelectRow(*e, 0);
  SelectJob(*e, 1);  // another job: the buttons stay enabled, no row is selected
  ASSERT_TRUE(RowButtonsEnabled(*e));
  ASSERT_EQ(e->SelectedRow(), -1);
  e->txtTitle().set_text("x");
  e->txtURL().set_text("http://x/");
  e->cmdChange().clicked();
  e->cmdDel().clicked();
  e->cmdUp().clicked();
  e->cmdDown().clicked();
  EXPECT_TRUE(dialogs_.shown.empty());
  EXPECT_EQ(e->Rows(), kNews);
  EXPECT_EQ(e->EditEntries(), kNews);
}

// ---- Switching jobs ----------------------------------------------------------------------------

TEST_F(JobEditorTest, SwitchingJobsDropsUnsavedEditsWithoutAsking) {
  const Entries a = {{"a1", "http://a1/"}};
  WriteJobs({{"A", a}, {"B", kNews}});
  auto e = Open(0);
  e->txtTitle().set_text("new");
  e->txtURL().set_text("http://new/");
  e->cmdAdd().clicked();
  SelectJob(*e, 1);
  EXPECT_EQ(e->EditJobIdx(), 1);
  EXPECT_EQ(e->Rows(), kNews);
  SelectJob(*e, 0);
  EXPECT_EQ(e->Rows(), a);
  EXPECT_EQ(e->EditEntries(), a);
  EXPECT_TRUE(dialogs_.shown.empty());
  EXPECT_EQ(OnDisk("A"), a);
}

TEST_F(JobEditorTest, SelectingAJobWithoutAFileKeepsThePreviousJobAndItsEdits) {
  WriteJobs({{"A", {{"a1", "http://a1/"}}}, {"Gone", kNews}});
  ASSERT_EQ(g_unlink(JobFilePath(app_.path(), "Gone").c_str()), 0);
  auto e = Open(0);
  e->txtTitle().set_text("new");
  e->txtURL().set_text("http://new/");
  e->cmdAdd().clicked();
  SelectJob(*e, 1);
  ExpectMessage(0, "該当するジョブファイルがありません", "エラー", MsgIcon::Critical);
  EXPECT_EQ(e->cboJob().get_active_row_number(), 0);
  EXPECT_EQ(e->EditJobIdx(), 0);
  EXPECT_EQ(e->Rows(), (Entries{{"a1", "http://a1/"}, {"new", "http://new/"}}));
}

TEST_F(JobEditorTest, JobWithAnEmptyFileShowsAnEmptyList) {
  WriteJobs({{"A", kNews}, {"Empty", {}}});
  auto e = Open(0);
  SelectJob(*e, 1);
  EXPECT_TRUE(e->Rows().empty());
  EXPECT_EQ(e->EditLastIdx(), -1);
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(JobEditorTest, AddingPastTheLargestJobIsRefused) {
  Entries full(kMaxJobEntries, JobEntry{"t", "http://t/"});
  WriteJobs({{"Full", full}});
  auto e = Open(0);
  ASSERT_EQ(e->EditLastIdx(), kMaxJobEntries - 1);
  e->txtTitle().set_text("one more");
  e->txtURL().set_text("http://more/");
  e->cmdAdd().clicked();
  DropOnto(e->lsvURL(), "text/plain", "http://more/");
  ASSERT_EQ(dialogs_.shown.size(), 2u);
  ExpectMessage(0, "ジョブに登録できるURLは 32767 件までです。", "エラー", MsgIcon::Exclamation);
  EXPECT_EQ(e->EditLastIdx(), kMaxJobEntries - 1);
  EXPECT_EQ(static_cast<int>(e->list_model()->children().size()), kMaxJobEntries);
}

TEST_F(JobEditorTest, JobFilePastTheLargestJobIsCutAndTheUserIsWarned) {
  Entries over(kMaxJobEntries + 1, JobEntry{"t", "http://t/"});
  over.back() = {"last", "http://last/"};
  ASSERT_TRUE(RewriteJobList(app_.path(), {"Over"}));
  WriteBytes(JobFilePath(app_.path(), "Over"), FormatJobFile(over));
  auto e = Open(0);
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  ExpectMessage(0,
                "このジョブファイルには登録できる数を超えるURLがあります。\r\n先頭の 32767 "
                "件だけを読み込みました。\r\n保存すると残りのURLは失われます。",
                "確認", MsgIcon::Exclamation);
  EXPECT_EQ(e->EditLastIdx(), kMaxJobEntries - 1);
  EXPECT_EQ(static_cast<int>(e->list_model()->children().size()), kMaxJobEntries);
  EXPECT_EQ(e->Rows().back(), (JobEntry{"t", "http://t/"}));
}

// ---- Saving and closing ------------------------------------------------------------------------

TEST_F(JobEditorTest, OKWithNoJobClosesAndWritesNothing) {
  WriteJobs({{"News", kNews}});
  auto e = Open(-1);
  e->txtTitle().set_text("t");
  e->txtURL().set_text("http://t/");
  e->cmdAdd().clicked();  // adding works without a job; it only has nowhere to go
  EXPECT_EQ(e->Rows().size(), 1u);
  e->cmdOK().clicked();
  EXPECT_TRUE(e->closed());
  EXPECT_FALSE(e->get_visible());
  EXPECT_TRUE(dialogs_.shown.empty());
  EXPECT_EQ(OnDisk("News"), kNews);
  EXPECT_EQ(ListOnDisk(), std::vector<std::string>{"News"});
}

TEST_F(JobEditorTest, OKAnsweredWithCancelClosesWithoutSaving) {
  WriteJobs({{"News", kNews}});
  auto e = Open(0);
  SelectRow(*e, 0);
  dialogs_.AnswerMessage(MsgResult::Yes);
  e->cmdDel().clicked();
  dialogs_.AnswerMessage(MsgResult::Cancel);
  e->cmdOK().clicked();
  EXPECT_TRUE(e->CanClose());
  EXPECT_TRUE(e->closed());
  EXPECT_EQ(OnDisk("News"), kNews);
}

TEST_F(JobEditorTest, SaveThatCannotWriteIsReportedAndKeepsTheDialogOpen) {
  WriteJobs({{"News", kNews}});
  auto e = Open(0);
  e->txtTitle().set_text("More");
  e->txtURL().set_text("http://news/more");
  e->cmdAdd().clicked();
  // The job files' folder is replaced by a file, so no job file can be written there.
  const std::string jobs = app_.file("JobFiles");
  ASSERT_EQ(g_rename(jobs.c_str(), app_.file("JobFiles.away").c_str()), 0);
  WriteBytes(jobs, "not a folder");
  dialogs_.AnswerMessage(MsgResult::OK);
  e->cmdOK().clicked();
  ASSERT_EQ(dialogs_.shown.size(), 2u);
  EXPECT_EQ(dialogs_.shown[1].caption, "エラー");
  EXPECT_EQ(dialogs_.shown[1].text.rfind("ジョブ「News」を保存できませんでした。", 0), 0u);
  EXPECT_FALSE(e->closed());
  EXPECT_EQ(e->EditLastIdx(), 3);
}

// ---- Renaming ----------------------------------------------------------------------------------

TEST_F(JobEditorTest, RenamingToTheSameNameOrNothingDoesNothing) {
  WriteJobs({{"A", kNews}});
  auto e = Open(0);
  dialogs_.AnswerInput("A");
  e->cmdName().clicked();
  dialogs_.AnswerInput("");
  e->cmdName().clicked();
  ASSERT_EQ(dialogs_.shown.size(), 2u);
  EXPECT_EQ(dialogs_.shown[0].kind, "input");
  EXPECT_EQ(dialogs_.shown[0].text, "新しい名前を入力してください");
  EXPECT_EQ(dialogs_.shown[0].caption, "ジョブ名の変更");
  EXPECT_EQ(dialogs_.shown[0].default_text, "A");
  EXPECT_EQ(dialogs_.shown[1].kind, "input");
  EXPECT_EQ(ListOnDisk(), std::vector<std::string>{"A"});
  EXPECT_EQ(OnDisk("A"), kNews);
}

TEST_F(JobEditorTest, RenamingToAnInvalidNameIsRefused) {
  WriteJobs({{"A", kNews}});
  auto e = Open(0);
  for (const char* bad : {"A:B", "A\r\nB", "A\nB"}) {
    SCOPED_TRACE(bad);
    dialogs_.shown.clear();
    dialogs_.AnswerInput(bad);
    e->cmdName().clicked();
    ASSERT_EQ(dialogs_.shown.size(), 2u);
    ExpectMessage(1, "ファイル名に使用できない文字が含まれています。", "エラー", MsgIcon::Critical);
  }
  EXPECT_EQ(SelectorItems(*e), std::vector<std::string>{"A"});
  EXPECT_EQ(ListOnDisk(), std::vector<std::string>{"A"});
  EXPECT_EQ(OnDisk("A"), kNews);
}

TEST_F(JobEditorTest, RenamingOntoAnotherJobIsRefusedAndBothJobsStay) {
  const Entries b = {{"b", "http://b/"}};
  WriteJobs({{"A", kNews}, {"B", b}});
  ASSERT_TRUE(WriteJobFile(app_.path(), "Unlisted", b));
  auto e = Open(0);
  dialogs_.AnswerInput("B");
  e->cmdName().clicked();
  ExpectMessage(1, "ジョブ「B」は既に存在します。\r\n別の名前を指定してください。", "エラー",
                MsgIcon::Exclamation);
  dialogs_.AnswerInput("Unlisted");
  e->cmdName().clicked();
  ExpectMessage(3, "ジョブ「Unlisted」は既に存在します。\r\n別の名前を指定してください。", "エラー",
                MsgIcon::Exclamation);
  EXPECT_EQ(SelectorItems(*e), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(OnDisk("A"), kNews);
  EXPECT_EQ(OnDisk("B"), b);
  EXPECT_EQ(OnDisk("Unlisted"), b);
}

TEST_F(JobEditorTest, RenamingAJobWhoseFileHasGoneIsRefused) {
  WriteJobs({{"A", kNews}, {"B", kNews}});
  auto e = Open(1);
  ASSERT_EQ(g_unlink(JobFilePath(app_.path(), "B").c_str()), 0);
  e->cmdName().clicked();
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  ExpectMessage(0, "該当するジョブファイルがありません", "エラー", MsgIcon::Critical);
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"A", "B"}));
  EXPECT_FALSE(OnDisk("B"));
}

TEST_F(JobEditorTest, RenameKeepsTheListOrderAndTheUnsavedEdits) {
  const Entries a = {{"a", "http://a/"}}, c = {{"c", "http://c/"}};
  WriteJobs({{"A", a}, {"B", kNews}, {"C", c}});
  auto e = Open(1);
  e->txtTitle().set_text("unsaved");
  e->txtURL().set_text("http://unsaved/");
  e->cmdAdd().clicked();

  // Cancel at the question changes nothing.
  dialogs_.AnswerInput("Renamed");
  dialogs_.AnswerMessage(MsgResult::Cancel);
  e->cmdName().clicked();
  ASSERT_EQ(dialogs_.shown.size(), 2u);
  ExpectMessage(1, "以下のようにジョブの名称を変更します。\r\nこの変更はすぐに反映されます。\r\n\r\nB → Renamed",
                "確認", MsgIcon::Question);
  EXPECT_EQ(dialogs_.shown[1].buttons, MsgButtons::OKCancel);
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"A", "B", "C"}));

  dialogs_.AnswerInput("Renamed");
  dialogs_.AnswerMessage(MsgResult::OK);
  e->cmdName().clicked();
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"A", "Renamed", "C"}));
  EXPECT_EQ(SelectorItems(*e), (std::vector<std::string>{"A", "Renamed", "C"}));
  EXPECT_EQ(e->cboJob().get_active_row_number(), 1);
  EXPECT_EQ(e->RenameOldName(), "B");
  EXPECT_EQ(e->RenameNewName(), "Renamed");
  EXPECT_FALSE(OnDisk("B"));
  EXPECT_EQ(OnDisk("Renamed"), kNews) << "the file moved; the edits are not saved yet";
  EXPECT_EQ(OnDisk("A"), a);
  EXPECT_EQ(OnDisk("C"), c);
  EXPECT_EQ(e->Rows().size(), 4u);

  Save(*e);
  ASSERT_TRUE(OnDisk("Renamed"));
  EXPECT_EQ(OnDisk("Renamed")->size(), 4u);
  EXPECT_FALSE(OnDisk("B"));
}

TEST_F(JobEditorTest, CancelAfterARenameKeepsTheRename) {
  WriteJobs({{"A", kNews}});
  auto e = Open(0);
  dialogs_.AnswerInput("Z");
  dialogs_.AnswerMessage(MsgResult::OK);
  e->cmdName().clicked();
  e->cmdCancel().clicked();
  EXPECT_TRUE(e->closed());
  EXPECT_EQ(ListOnDisk(), std::vector<std::string>{"Z"});
  EXPECT_EQ(OnDisk("Z"), kNews);
  EXPECT_FALSE(OnDisk("A"));
}

// ---- Deleting jobs -----------------------------------------------------------------------------

TEST_F(JobEditorTest, DeletingTheFirstJobSelectsTheNewFirst) {
  const Entries b = {{"b", "http://b/"}};
  WriteJobs({{"A", kNews}, {"B", b}, {"C", kNews}});
  auto e = Open(0);
  dialogs_.AnswerMessage(MsgResult::OK);
  e->cmdKillJob().clicked();
  ExpectMessage(0, "ジョブ「A」を削除します。\r\nよろしいですか？", "確認", MsgIcon::Question);
  EXPECT_EQ(dialogs_.shown[0].buttons, MsgButtons::OKCancel);
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"B", "C"}));
  EXPECT_FALSE(OnDisk("A"));
  EXPECT_EQ(SelectorItems(*e), (std::vector<std::string>{"B", "C"}));
  EXPECT_EQ(e->cboJob().get_active_text(), "B");
  EXPECT_EQ(e->EditJobIdx(), 0);
  EXPECT_EQ(e->Rows(), b);
}

TEST_F(JobEditorTest, DeletingTheMiddleJobSelectsTheOneBefore) {
  const Entries a = {{"a", "http://a/"}};
  WriteJobs({{"A", a}, {"B", kNews}, {"C", kNews}});
  auto e = Open(1);
  dialogs_.AnswerMessage(MsgResult::Cancel);
  e->cmdKillJob().clicked();
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(OnDisk("B"), kNews);

  dialogs_.AnswerMessage(MsgResult::OK);
  e->cmdKillJob().clicked();
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"A", "C"}));
  EXPECT_FALSE(OnDisk("B"));
  EXPECT_EQ(e->cboJob().get_active_text(), "A");
  EXPECT_EQ(e->Rows(), a);
  EXPECT_EQ(e->EditEntries(), a);
}

TEST_F(JobEditorTest, DeletingTheOnlyJobEmptiesEverything) {
  WriteJobs({{"Only", kNews}});
  auto e = Open(0);
  dialogs_.AnswerMessage(MsgResult::OK);
  e->cmdKillJob().clicked();
  EXPECT_EQ(ReadJobList(app_.path()), std::vector<std::string>{});
  EXPECT_FALSE(OnDisk("Only"));
  EXPECT_TRUE(SelectorItems(*e).empty());
  EXPECT_TRUE(e->Rows().empty());
  EXPECT_EQ(e->EditLastIdx(), -1);
  // With no job left, OK closes without a word.
  e->cmdOK().clicked();
  EXPECT_TRUE(e->closed());
  EXPECT_EQ(dialogs_.shown.size(), 1u);
}

TEST_F(JobEditorTest, DeletingAJobWhoseFileHasGoneIsRefused) {
  WriteJobs({{"A", kNews}, {"B", kNews}});
  auto e = Open(1);
  ASSERT_EQ(g_unlink(JobFilePath(app_.path(), "B").c_str()), 0);
  e->cmdKillJob().clicked();
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  ExpectMessage(0, "該当するジョブファイルがありません", "エラー", MsgIcon::Critical);
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(SelectorItems(*e), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(OnDisk("A"), kNews);
}

TEST_F(JobEditorTest, DeletedJobsEntriesNeverStayUnderTheNextJob) {
  // The job that becomes selected has lost its file; its name must not show the deleted job's
  // entries, or a save would write them into it.
  WriteJobs({{"A", kNews}, {"B", {{"b", "http://b/"}}}});
  ASSERT_EQ(g_unlink(JobFilePath(app_.path(), "A").c_str()), 0);
  auto e = Open(1);
  dialogs_.AnswerMessage(MsgResult::OK);
  e->cmdKillJob().clicked();
  ExpectMessage(1, "該当するジョブファイルがありません", "エラー", MsgIcon::Critical);
  EXPECT_EQ(e->cboJob().get_active_text(), "A");
  EXPECT_TRUE(e->Rows().empty());
  e->cmdRefresh().clicked();
  ExpectMessage(2, "ジョブ「A」にはURLが\r\n一件も登録されていません。", "エラー", MsgIcon::Exclamation);
  EXPECT_FALSE(OnDisk("A"));
}

// ---- Edit job from the main window -------------------------------------------------------------

TEST_F(JobEditorTest, EditJobOpensOnTheSelectedJobAndReloadsTheMainWindowAfter) {
  WriteJobs({{"A", kNews}, {"B", {{"b", "http://b/"}}}, {"C", kNews}});
  host_.LoadJobList(1);
  host_.calls.clear();
  WhenEditorOpens drive([&](frmEditJob& e) {
    EXPECT_TRUE(e.get_modal());
    EXPECT_EQ(e.get_transient_for(), &host_.window);
    EXPECT_EQ(e.cboJob().get_active_text(), "B");
    // Delete the selected job: the main window's index 1 then names C.
    dialogs_.AnswerMessage(MsgResult::OK);
    e.cmdKillJob().clicked();
    e.cmdCancel().clicked();
  });
  mnuEditJob_Click(host_);
  EXPECT_EQ(drive.opened, 1);
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"LoadJobList:1", "LoadSelectedJob:true"}));
  EXPECT_EQ(host_.items, (std::vector<std::string>{"A", "C"}));
  EXPECT_EQ(host_.index, 1);
}

TEST_F(JobEditorTest, EditJobWithNothingSelectedOnlyReloadsTheList) {
  WriteJobs({{"A", kNews}});
  host_.LoadJobList(-1);
  host_.calls.clear();
  WhenEditorOpens drive([&](frmEditJob& e) {
    EXPECT_EQ(e.cboJob().get_active_row_number(), -1);
    e.cmdOK().clicked();
  });
  mnuEditJob_Click(host_);
  EXPECT_EQ(drive.opened, 1);
  EXPECT_EQ(host_.calls, std::vector<std::string>{"LoadJobList:-1"});
  EXPECT_TRUE(dialogs_.shown.empty());
}

// ---- New job -----------------------------------------------------------------------------------

TEST_F(JobEditorTest, NewJobWithTheDefaultNameOpensTheEditorOnIt) {
  WriteJobs({{"A", kNews}});
  host_.LoadJobList(0);
  host_.calls.clear();
  dialogs_.AnswerInput("New Job");
  WhenEditorOpens drive([&](frmEditJob& e) {
    EXPECT_EQ(e.cboJob().get_active_text(), "New Job");
    EXPECT_EQ(e.EditJobIdx(), 1);
    EXPECT_TRUE(e.Rows().empty());
    EXPECT_FALSE(host_.new_job_flag) << "the flag is cleared when the editor opens";
    // No entries: OK refuses to close; after an entry it saves and closes.
    e.cmdOK().clicked();
    EXPECT_FALSE(e.closed());
    e.txtTitle().set_text("first");
    e.txtURL().set_text("http://first/");
    e.cmdAdd().clicked();
    dialogs_.AnswerMessage(MsgResult::OK);
    e.cmdOK().clicked();
  });
  mnuNewJob_Click(host_);
  EXPECT_EQ(drive.opened, 1);
  ASSERT_GE(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].kind, "input");
  EXPECT_EQ(dialogs_.shown[0].text, "作成するジョブの名前を入力してください");
  EXPECT_EQ(dialogs_.shown[0].caption, "ジョブ名の入力");
  EXPECT_EQ(dialogs_.shown[0].default_text, "New Job");
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"A", "New Job"}));
  EXPECT_EQ(OnDisk("New Job"), (Entries{{"first", "http://first/"}}));
  // The main window returns to the job it had selected.
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"LoadJobList:0", "LoadSelectedJob:true"}));
  EXPECT_EQ(host_.index, 0);
}

// Another window listed a job after this window loaded its list: the editor still opens on the
// job New Job has just made, the list's last line.
TEST_F(JobEditorTest, NewJobOpensOnItsJobWhenTheSelectorIsBehindTheList) {
  WriteJobs({{"A", kNews}});
  host_.LoadJobList(0);
  ASSERT_TRUE(AppendJobName(app_.path(), "FromOtherWindow"));
  ASSERT_TRUE(CreateEmptyJobFile(app_.path(), "FromOtherWindow"));
  dialogs_.AnswerInput("Mine");
  WhenEditorOpens drive([&](frmEditJob& e) {
    EXPECT_EQ(e.cboJob().get_active_text(), "Mine");
    EXPECT_EQ(e.EditJobIdx(), 2);
    e.cmdCancel().clicked();
  });
  mnuNewJob_Click(host_);
  EXPECT_EQ(drive.opened, 1);
}

TEST_F(JobEditorTest, NewJobCancelledInTheEditorLeavesTheEmptyJob) {
  dialogs_.AnswerInput("Fresh");
  WhenEditorOpens drive([&](frmEditJob& e) {
    EXPECT_EQ(e.cboJob().get_active_text(), "Fresh");
    e.cmdCancel().clicked();
  });
  mnuNewJob_Click(host_);  // no job list yet: it is created
  EXPECT_EQ(drive.opened, 1);
  EXPECT_EQ(ListOnDisk(), std::vector<std::string>{"Fresh"});
  EXPECT_EQ(OnDisk("Fresh"), Entries{});
}

TEST_F(JobEditorTest, NewJobWithAnInvalidNameAsksAgain) {
  WriteJobs({{"A", kNews}});
  for (const char* bad : {"a/b", "a\\b", "what?"}) dialogs_.AnswerInput(bad);
  dialogs_.AnswerInput("");
  mnuNewJob_Click(host_);
  ASSERT_EQ(dialogs_.shown.size(), 7u);
  for (size_t i = 1; i < 6; i += 2)
    ExpectMessage(i, "ファイル名に使用できない文字を\r\n含んでいます", "エラー", MsgIcon::Exclamation);
  EXPECT_EQ(dialogs_.shown[6].kind, "input");
  EXPECT_EQ(dialogs_.shown[6].default_text, "New Job");
  EXPECT_EQ(ListOnDisk(), std::vector<std::string>{"A"});
  EXPECT_TRUE(host_.calls.empty());
}

TEST_F(JobEditorTest, NewJobWithAnExistingNameAnsweredNoAsksAgain) {
  WriteJobs({{"A", kNews}});
  dialogs_.AnswerInput("A");
  dialogs_.AnswerMessage(MsgResult::No);
  dialogs_.AnswerInput("");
  mnuNewJob_Click(host_);
  ASSERT_EQ(dialogs_.shown.size(), 3u);
  ExpectMessage(1, JobFilePath(app_.path(), "A") + "は既に存在しています。\r\n上書きしますか？",
                "確認", MsgIcon::Question);
  EXPECT_EQ(dialogs_.shown[1].buttons, MsgButtons::YesNo);
  EXPECT_EQ(OnDisk("A"), kNews);
  EXPECT_EQ(ListOnDisk(), std::vector<std::string>{"A"});
}

TEST_F(JobEditorTest, NewJobWithAnExistingNameAnsweredYesEmptiesItAndListsItOnce) {
  WriteJobs({{"A", kNews}, {"B", kNews}});
  host_.LoadJobList(0);
  host_.calls.clear();
  dialogs_.AnswerInput("A");
  dialogs_.AnswerMessage(MsgResult::Yes);
  WhenEditorOpens drive([&](frmEditJob& e) {
    EXPECT_EQ(e.cboJob().get_active_text(), "A");
    EXPECT_EQ(e.EditJobIdx(), 0);
    EXPECT_TRUE(e.Rows().empty());
    e.cmdCancel().clicked();
  });
  mnuNewJob_Click(host_);
  EXPECT_EQ(drive.opened, 1);
  EXPECT_EQ(OnDisk("A"), Entries{});
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"A", "B"}));
  EXPECT_FALSE(host_.new_job_flag);
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"LoadJobList:0", "LoadSelectedJob:true"}));
}

// ---- Favorites-folder import -------------------------------------------------------------------

class ImportTest : public JobEditorTest {
 protected:
  // A folder named `name` inside the favorites folder.
  std::string Folder(const std::string& name) {
    std::string path = favorites_.file(name);
    EXPECT_EQ(g_mkdir(path.c_str(), 0700), 0);
    return path;
  }
  void ExpectConfirmation(size_t i, const std::string& name) {
    ExpectMessage(i, "新規ジョブ「" + name + "」を作成しますか？", "ｲﾝﾎﾟｰﾄの確認",
                  MsgIcon::Question);
    EXPECT_EQ(dialogs_.shown[i].buttons, MsgButtons::YesNo);
  }
  void ExpectDone(size_t i, const std::string& name) {
    ExpectMessage(i, "ジョブファイル「" + name + "」が作成されました", "ｲﾝﾎﾟｰﾄ完了",
                  MsgIcon::Information);
  }
};

TEST_F(ImportTest, ShortcutsBecomeEntriesAndOtherFilesAreIgnored) {
  WriteJobs({{"A", kNews}});
  host_.LoadJobList(0);
  host_.calls.clear();
  const std::string folder = Folder("Links");
  WriteBytes(folder + "/Alpha.url", "[InternetShortcut]\r\nURL=http://alpha.example/\r\n");
  WriteBytes(folder + "/notes.txt", "URL=http://notes.example/\r\n");
  dialogs_.AnswerFolder(folder);
  dialogs_.AnswerMessage(MsgResult::Yes);
  mnuImportFavFolder_Click(host_);

  ASSERT_EQ(dialogs_.shown.size(), 3u);
  EXPECT_EQ(dialogs_.shown[0].kind, "folder");
  EXPECT_EQ(dialogs_.shown[0].caption, "「お気に入り」フォルダを選択してください。");
  EXPECT_EQ(dialogs_.shown[0].default_text, favorites_.path());
  ExpectConfirmation(1, "Links");
  ExpectDone(2, "Links");
  EXPECT_EQ(OnDisk("Links"), (Entries{{"Alpha", "http://alpha.example/"}}));
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"A", "Links"}));
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"LoadJobList:0", "LoadSelectedJob:true"}));
}

TEST_F(ImportTest, NamesWithSeveralDotsAndALowerCaseKey) {
  const std::string folder = Folder("Sites");
  WriteBytes(folder + "/www.example.co.jp.url", "[InternetShortcut]\r\nurl=http://www.example.co.jp/\r\n");
  WriteBytes(folder + "/Second.URL", "[DEFAULT]\r\nBASEURL=http://base/\r\nURL=http://second/\r\n");
  dialogs_.AnswerFolder(folder);
  dialogs_.AnswerMessage(MsgResult::Yes);
  mnuImportFavFolder_Click(host_);
  auto disk = OnDisk("Sites");
  ASSERT_TRUE(disk);
  std::sort(disk->begin(), disk->end(),
            [](const JobEntry& a, const JobEntry& b) { return a.Title < b.Title; });
  EXPECT_EQ(*disk, (Entries{{"Second", "http://base/"}, {"www.example.co.jp", "http://www.example.co.jp/"}}));
  EXPECT_EQ(ListOnDisk(), std::vector<std::string>{"Sites"});
  // Nothing was selected in the main window, so nothing is re-read.
  EXPECT_EQ(host_.calls, std::vector<std::string>{"LoadJobList:-1"});
}

TEST_F(ImportTest, OverAnExistingJobReplacesItsEntriesAndKeepsOneListLine) {
  WriteJobs({{"Links", kNews}, {"B", kNews}});
  const std::string folder = Folder("Links");
  WriteBytes(folder + "/New.url", "URL=http://new/\r\n");

  dialogs_.AnswerFolder(folder);
  dialogs_.AnswerMessage(MsgResult::Yes);
  dialogs_.AnswerMessage(MsgResult::No);
  mnuImportFavFolder_Click(host_);
  ExpectMessage(2, JobFilePath(app_.path(), "Links") + "は既に存在しています。\r\n上書きしますか？",
                "確認", MsgIcon::Question);
  EXPECT_EQ(dialogs_.shown.size(), 3u);
  EXPECT_EQ(OnDisk("Links"), kNews);

  dialogs_.AnswerFolder(folder);
  dialogs_.AnswerMessage(MsgResult::Yes);
  dialogs_.AnswerMessage(MsgResult::Yes);
  mnuImportFavFolder_Click(host_);
  ExpectDone(6, "Links");
  EXPECT_EQ(OnDisk("Links"), (Entries{{"New", "http://new/"}}));
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"Links", "B"}));
}

TEST_F(ImportTest, FolderWithoutValidFavoritesWritesNothing) {
  WriteJobs({{"Empty", kNews}});
  const std::string folder = Folder("Empty");
  WriteBytes(folder + "/NoKey.url", "[InternetShortcut]\r\nIconIndex=0\r\n");
  WriteBytes(folder + "/readme.txt", "URL=http://x/\r\n");
  dialogs_.AnswerFolder(folder);
  dialogs_.AnswerMessage(MsgResult::Yes);
  dialogs_.AnswerMessage(MsgResult::Yes);  // overwrite agreed, yet the job stays as it was
  mnuImportFavFolder_Click(host_);
  ASSERT_EQ(dialogs_.shown.size(), 4u);
  ExpectMessage(3, "フォルダ「Empty」には有効なお気に入りファイルが一つも存在しません。", "エラー",
                MsgIcon::Exclamation);
  EXPECT_EQ(OnDisk("Empty"), kNews);
  EXPECT_EQ(ListOnDisk(), std::vector<std::string>{"Empty"});
  EXPECT_TRUE(host_.calls.empty());
}

TEST_F(ImportTest, CancelledFolderOrAnswerNoChangesNothing) {
  const std::string folder = Folder("Links");
  WriteBytes(folder + "/Alpha.url", "URL=http://alpha/\r\n");
  dialogs_.AnswerFolder(std::nullopt);
  mnuImportFavFolder_Click(host_);
  dialogs_.AnswerFolder(folder);
  dialogs_.AnswerMessage(MsgResult::No);
  mnuImportFavFolder_Click(host_);
  EXPECT_EQ(dialogs_.shown.size(), 3u);
  EXPECT_FALSE(OnDisk("Links"));
  EXPECT_FALSE(JobListExists(app_.path()));
  EXPECT_TRUE(host_.calls.empty());
}

TEST_F(ImportTest, RootFolderIsRefused) {
  dialogs_.AnswerFolder("/");
  mnuImportFavFolder_Click(host_);
  ASSERT_EQ(dialogs_.shown.size(), 2u);
  ExpectMessage(1, "ルートフォルダはインポートできません。\r\nお気に入りファイルのあるフォルダを選択してください。",
                "エラー", MsgIcon::Exclamation);
  EXPECT_FALSE(JobListExists(app_.path()));
  EXPECT_FALSE(OnDisk(""));
  EXPECT_TRUE(host_.calls.empty());
}

TEST_F(ImportTest, FolderNameWithALineBreakIsRefused) {
  WriteJobs({{"A", kNews}});
  const std::string folder = Folder("two\nlines");
  WriteBytes(folder + "/Alpha.url", "URL=http://alpha/\r\n");
  dialogs_.AnswerFolder(folder);
  mnuImportFavFolder_Click(host_);
  ASSERT_EQ(dialogs_.shown.size(), 2u);
  ExpectMessage(1, "ファイル名に使用できない文字が含まれています。", "エラー", MsgIcon::Critical);
  EXPECT_EQ(ListOnDisk(), std::vector<std::string>{"A"});
  EXPECT_TRUE(host_.calls.empty());
}

}  // namespace
}  // namespace tarvik
