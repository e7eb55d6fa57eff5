// The job editor, driven through its real widgets with scripted dialogs, on job files in a
// temporary application folder.
#include "job_editor_fixture.h"
#include "platform/accessible.h"
#include "platform/text_file.h"

namespace tarvik {
namespace {

using namespace jobeditor_test;

// ---- The dialog as designed --------------------------------------------------------------------

TEST_F(JobEditorTest, ControlsHaveTheirCaptionsTooltipsAndInitialState) {
  WriteJobs({{"News", kNews}});
  auto e = Open(-1);
  EXPECT_EQ(e->get_title(), "ジョブの編集");
  EXPECT_TRUE(e->get_modal());
  EXPECT_EQ(e->get_transient_for(), &host_.window);
  // A screen reader reads the boxes, the list and the job selector's drop-down by name.
  EXPECT_EQ(AccessibleName(e->txtTitle()), "タイトル");
  EXPECT_EQ(AccessibleName(e->txtURL()), "URL");
  EXPECT_EQ(AccessibleName(e->lsvURL()), "URLリスト");
  EXPECT_EQ(AccessibleName(e->cboJob().popup()), "ジョブの一覧");
  EXPECT_EQ(AccessibleName(e->cboJob().popup_list()), "ジョブの一覧");
  EXPECT_EQ(AccessibleName(e->cboJob().popup_search()), "ジョブの検索");

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
  for (Gtk::Widget* w :
       {static_cast<Gtk::Widget*>(&e->lsvURL()), static_cast<Gtk::Widget*>(&e->txtTitle()),
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
  ExpectMessage(
      0, "ジョブリストファイル TVJob.lst が見つかりません。\r\nジョブを読み込まずに起動します。",
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
  Pump();
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  ExpectMessage(0, "URLが指定されていません", "エラー", MsgIcon::Exclamation);

  e->txtTitle().set_text("  ");
  e->txtURL().set_text("http://x/");
  e->cmdAdd().clicked();
  Pump();
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
  Pump();
  EXPECT_EQ(e->txtTitle().get_text(), "  Weather ");  // unchecked: the boxes keep their text
  EXPECT_EQ(e->txtURL().get_text(), " http://news/weather  ");

  e->chkClear().set_active(true);
  e->txtTitle().set_text("Tech");
  e->txtURL().set_text("http://news/tech");
  e->cmdAdd().clicked();
  Pump();
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
  Pump();
  Entries expected = kNews;
  expected[1] = {"Welt, Europa", "http://news/welt"};
  EXPECT_EQ(e->Rows(), expected);
  EXPECT_EQ(e->EditEntries(), expected);
  EXPECT_EQ(e->txtTitle().get_text(), " Welt, Europa ");

  e->txtURL().set_text("");
  e->cmdChange().clicked();
  Pump();
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
  Pump();
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
  Pump();
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
  Pump();
  ExpectMessage(0, "Worldを削除しますか？", "確認", MsgIcon::Question);
  EXPECT_EQ(dialogs_.shown[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(e->Rows(), kNews);

  dialogs_.AnswerMessage(MsgResult::Yes);
  e->cmdDel().clicked();
  Pump();
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
  Pump();
  EXPECT_TRUE(e->Rows().empty());
  EXPECT_EQ(e->EditLastIdx(), -1);
  EXPECT_TRUE(RowButtonsDisabled(*e));
  EXPECT_EQ(e->txtTitle().get_text(), "only");
  EXPECT_EQ(e->txtURL().get_text(), "http://only/");

  // An empty job cannot be saved, and OK keeps the dialog open.
  e->cmdOK().clicked();
  Pump();
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
  Pump();
  Pump(50);

  // No row is selected afterwards, and the boxes keep what they held.
  const Entries expected = {kNews[0], kNews[2]};
  EXPECT_EQ(e->SelectedRow(), -1);
  EXPECT_EQ(e->Rows(), expected);
  EXPECT_EQ(e->txtTitle().get_text(), "World");
  EXPECT_EQ(e->txtURL().get_text(), "http://news/world");

  // 変更 then has no row to change, and OK saves the job without the deleted entry.
  e->cmdChange().clicked();
  Pump();
  EXPECT_EQ(e->Rows(), expected);
  EXPECT_EQ(e->EditEntries(), expected);
  dialogs_.AnswerMessage(MsgResult::OK);
  e->cmdOK().clicked();
  Pump();
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
  Pump();
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
  Pump();
  e->cmdDel().clicked();
  Pump();
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
  Pump();
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
  Pump();
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
  Pump();
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
  Pump();
  EXPECT_EQ(e->Rows().size(), 1u);
  e->cmdOK().clicked();
  Pump();
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
  Pump();
  dialogs_.AnswerMessage(MsgResult::Cancel);
  e->cmdOK().clicked();
  Pump();
  EXPECT_TRUE(e->CanClose());
  EXPECT_TRUE(e->closed());
  EXPECT_EQ(OnDisk("News"), kNews);
}

// Escape and "&Cancel" threw changes away unasked. Now they ask first (with nothing changed they
// close unasked, as the other tests of Cancel show).
TEST_F(JobEditorTest, CancelOrEscapeAfterChangesAsksBeforeThrowingThemAway) {
  WriteJobs({{"News", kNews}});
  host_.LoadJobList(0);
  const std::string question =
      "ジョブ「News」の変更は保存されていません。\r\n変更を破棄して閉じますか？";
  WhenEditorOpens drive([&](frmEditJob& e) {
    e.txtTitle().set_text("More");
    e.txtURL().set_text("http://news/more");
    e.cmdAdd().clicked();
    test::Pump();
    dialogs_.AnswerMessage(MsgResult::No);
    e.cmdCancel().clicked();
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    ExpectMessage(0, question, "確認", MsgIcon::Question);
    EXPECT_EQ(dialogs_.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(dialogs_.shown[0].default_button, MsgDefault::Second);
    EXPECT_FALSE(e.closed());
    EXPECT_EQ(e.Rows().size(), kNews.size() + 1);

    dialogs_.AnswerMessage(MsgResult::No);
    test::PressKey(e, GDK_KEY_Escape);
    EXPECT_TRUE(test::RunUntil([&] { return dialogs_.shown.size() == 2; }));
    EXPECT_FALSE(e.closed());

    dialogs_.AnswerMessage(MsgResult::Yes);
    test::PressKey(e, GDK_KEY_Escape);
    EXPECT_TRUE(test::RunUntil([&] { return e.closed(); }));
    EXPECT_EQ(dialogs_.shown.size(), 3u);
  });
  mnuEditJob_Click(host_);
  EXPECT_EQ(drive.opened, 1);
  EXPECT_EQ(OnDisk("News"), kNews);
}

TEST_F(JobEditorTest, SaveThatCannotWriteIsReportedAndKeepsTheDialogOpen) {
  WriteJobs({{"News", kNews}});
  auto e = Open(0);
  e->txtTitle().set_text("More");
  e->txtURL().set_text("http://news/more");
  e->cmdAdd().clicked();
  Pump();
  // The job files' folder is replaced by a file, so no job file can be written there.
  const std::string jobs = app_.file("JobFiles");
  ASSERT_EQ(g_rename(jobs.c_str(), app_.file("JobFiles.away").c_str()), 0);
  WriteBytes(jobs, "not a folder");
  dialogs_.AnswerMessage(MsgResult::OK);
  e->cmdOK().clicked();
  Pump();
  ASSERT_EQ(dialogs_.shown.size(), 2u);
  EXPECT_EQ(dialogs_.shown[1].caption, "エラー");
  EXPECT_EQ(dialogs_.shown[1].text.rfind("ジョブ「News」を保存できませんでした。", 0), 0u);
  EXPECT_FALSE(e->closed());
  EXPECT_EQ(e->EditLastIdx(), 3);
}

}  // namespace
}  // namespace tarvik
