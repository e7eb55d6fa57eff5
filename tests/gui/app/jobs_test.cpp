#include <glib/gstdio.h>
#include <glibmm/main.h>
#include <gtkmm/treeview.h>
#include <unistd.h>

#include "browse/script_guard.h"
#include "jobs/frm_list.h"
#include "jobs/job_files.h"
#include "main_window_fixture.h"

namespace tarvik::test {
namespace {

class JobNavigationTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_TRUE(RewriteJobList(home.path(), {"News", "Single", "Gone", "Empty", "Sport"}));
    ASSERT_TRUE(WriteJobFile(home.path(), "News",
                             {{"A", "http://a/"}, {"B", "http://b/"}, {"C", "http://c/"}}));
    ASSERT_TRUE(WriteJobFile(home.path(), "Single", {{"Only", "http://only/"}}));
    ASSERT_TRUE(CreateEmptyJobFile(home.path(), "Empty"));
    ASSERT_TRUE(WriteJobFile(home.path(), "Sport", {{"S1", "http://s1/"}, {"S2", "http://s2/"}}));
  }

  // Picks a job in the selector as the user does.
  void Pick(frmMain& w, int index) { w.cboJob().set_active(index); }
  std::string Tip(frmMain& w, int i) { return w.cmdNav(i).get_tooltip_text(); }
};

// What is made ready for the next step is browse/step_ahead.h's rule; here the window asks for it
// each time the page shown has finished loading, and gives it up when the job changes, when the
// setting is turned off and when the window closes.
TEST_F(JobNavigationTest, TheNextEntryIsMadeReadyAfterEachLoadAndGivenUpWithTheJob) {
  frmMain& w = Start("");
  auto loaded = [&](const std::string& url) {
    browser().Complete(url, "");
    browser().RaiseDocumentComplete();
  };
  loaded("http://elsewhere/");
  EXPECT_EQ(browser().prepared, "") << "no job loaded";
  Pick(w, 0);
  loaded("http://a/");
  EXPECT_EQ(browser().prepared, "http://b/");
  EXPECT_EQ(browser().resolved, (std::vector<std::string>{"http://b/", "http://c/"}));
  w.cmdNav(3).clicked();
  Pump();
  loaded("http://c/");
  EXPECT_EQ(browser().prepared, "") << "nothing after the last entry";

  const int drops = browser().drops;
  Pick(w, 4);
  EXPECT_EQ(browser().drops, drops + 1) << "another job";
  loaded("http://s1/");
  EXPECT_EQ(browser().prepared, "http://s2/");

  w.Run(ActionId::PrepareNext);
  EXPECT_EQ(browser().prepared, "") << "turned off";
  EXPECT_EQ(settings().Get("Setting", "PrepareNext", ""), "False");
  loaded("http://s1/");
  EXPECT_EQ(browser().prepared, "");
  w.Run(ActionId::PrepareNext);
  loaded("http://s1/");
  EXPECT_EQ(browser().prepared, "http://s2/");
  w.Run(ActionId::Quit);
  EXPECT_EQ(browser().prepared, "") << "the window has closed";
  EXPECT_TRUE(RunUntil([&] { return last_window_closed; }));
}

TEST_F(JobNavigationTest, StartUpFillsTheSelectorWithNothingSelected) {
  frmMain& w = Start("");
  EXPECT_EQ(w.JobSelectorCount(), 5);
  EXPECT_EQ(w.JobSelectorIndex(), -1);
  EXPECT_EQ(w.CurJobIdx(), -1);
  EXPECT_FALSE(w.JobSelected());
}

// The step rules are the job cursor's (tests/unit/jobs/job_cursor_test.cpp); here the buttons
// drive it: a step opens its entry and updates the tooltips, a step at the end opens nothing.
TEST_F(JobNavigationTest, TheStepButtonsOpenTheCursorsEntryAndShowItsTips) {
  frmMain& w = Start("");
  Pick(w, 0);
  EXPECT_EQ(browser().last_navigation(), "Navigate:http://a/");
  EXPECT_EQ(Tip(w, 0), "A");
  EXPECT_EQ(Tip(w, 1), "現在先頭です");
  EXPECT_EQ(Tip(w, 2), "B");
  EXPECT_EQ(Tip(w, 3), "C");
  const int after_pick = browser().navigation_count();
  w.cmdNav(1).clicked();  // previous at the first entry
  Pump();
  EXPECT_EQ(browser().navigation_count(), after_pick);

  w.cmdNav(2).clicked();
  Pump();
  EXPECT_EQ(browser().last_navigation(), "Navigate:http://b/");
  EXPECT_EQ(Tip(w, 1), "A");
  EXPECT_EQ(Tip(w, 2), "C");
  w.cmdNav(3).clicked();
  Pump();
  EXPECT_EQ(browser().last_navigation(), "Navigate:http://c/");
  EXPECT_EQ(Tip(w, 2), "現在最後です");
  const int at_end = browser().navigation_count();
  w.cmdNav(2).clicked();  // next at the last entry
  Pump();
  EXPECT_EQ(browser().navigation_count(), at_end);
  EXPECT_EQ(w.job_cursor().current_index(), 2);
  w.cmdNav(0).clicked();
  Pump();
  EXPECT_EQ(browser().last_navigation(), "Navigate:http://a/");
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(JobNavigationTest, AMissingJobFileIsReportedAndThePreviousJobStaysUsable) {
  frmMain& w = Start("");
  Pick(w, 0);
  w.cmdNav(2).clicked();
  Pump();
  Pick(w, 2);  // "Gone" has no file
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "該当するジョブファイルがありません");
  EXPECT_EQ(dialogs.shown[0].caption, "エラー");
  EXPECT_EQ(dialogs.shown[0].icon, MsgIcon::Critical);
  EXPECT_EQ(w.JobSelectorIndex(), 0);
  EXPECT_EQ(w.CurJobIdx(), 0);
  w.cmdNav(2).clicked();
  Pump();
  EXPECT_EQ(browser().last_navigation(), "Navigate:http://c/");
}

TEST_F(JobNavigationTest, AnEmptyJobFileIsRefusedAndThePreviousJobStaysUsable) {
  frmMain& w = Start("");
  Pick(w, 4);
  Pick(w, 3);  // "Empty"
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "このジョブファイルには\r\nURLが登録されていません");
  EXPECT_EQ(dialogs.shown[0].icon, MsgIcon::Exclamation);
  EXPECT_EQ(w.JobSelectorIndex(), 4);
  w.cmdNav(3).clicked();
  Pump();
  EXPECT_EQ(browser().last_navigation(), "Navigate:http://s2/");
}

TEST_F(JobNavigationTest, AMissingJobFileWithNothingLoadedReturnsToNoSelection) {
  frmMain& w = Start("");
  Pick(w, 2);
  EXPECT_EQ(w.JobSelectorIndex(), -1);
  EXPECT_EQ(browser().navigation_count(), 1);  // only the home page
  w.cmdNav(2).clicked();
  Pump();
  EXPECT_EQ(browser().navigation_count(), 1);
}

TEST_F(JobNavigationTest, WithNoJobSelectedTheButtonsDoNothing) {
  frmMain& w = Start("");
  for (int i = 0; i < 5; ++i) w.cmdNav(i).clicked();
  Pump();
  EXPECT_EQ(browser().navigation_count(), 1);
  EXPECT_TRUE(dialogs.shown.empty());
}

// After the job editor the list is reloaded onto a job that cannot be loaded: the steps must not
// go on through the pages of the job loaded before.
TEST_F(JobNavigationTest, AReloadOntoAJobThatCannotLoadLeavesNoJobSelected) {
  frmMain& w = Start("");
  Pick(w, 0);  // News: A, B, C
  ASSERT_EQ(w.job_cursor().last_index(), 2);
  dialogs.AnswerMessage(MsgResult::OK);
  w.LoadJobList(3);  // Empty
  EXPECT_FALSE(w.LoadSelectedJob(true));
  EXPECT_FALSE(w.JobSelected());
  EXPECT_EQ(w.job_cursor().last_index(), -1);
  // The step buttons no longer name the entries of the job let go.
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Tip(w, i), kJobStepTips[i]);
  const int n = browser().navigation_count();
  for (int i = 0; i < 4; ++i) w.cmdNav(i).clicked();  // the steps; the list would open a window
  Pump();
  EXPECT_EQ(browser().navigation_count(), n);
}

// A selector of 1,500 jobs or more dropped down a menu taller than the window system allows,
// and X ended the program. With 40,000 jobs it drops down a scrolled list: typing finds a job,
// and Enter opens it as choosing it does.
TEST_F(JobNavigationTest, TheSelectorDropsDownFortyThousandJobsAndTypingFindsOne) {
  std::vector<std::string> names;
  for (int i = 0; i < 40000; ++i) names.push_back("Job " + std::to_string(i));
  names[39999] = "Sport";
  ASSERT_TRUE(RewriteJobList(home.path(), names));
  frmMain& w = Start("");
  browser().Complete("about:blank", "");  // the selector works from the first page on
  ASSERT_EQ(w.JobSelectorCount(), 40000);

  // A click of the real mouse, as the user opens it.
  Gtk::Widget& selector = w.cboJob();
  int x = 0, y = 0;
  selector.get_window()->get_origin(x, y);
  x += selector.get_allocation().get_x() + selector.get_allocated_width() / 2;
  y += selector.get_allocation().get_y() + selector.get_allocated_height() / 2;
  const std::string click =
      "xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1";
  ASSERT_TRUE(g_spawn_command_line_sync(click.c_str(), nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(RunUntil([&] { return w.cboJob().popup().get_mapped(); }));
  Pump(100);
  EXPECT_LT(w.cboJob().popup().get_allocated_height(), w.get_allocated_height());

  ASSERT_TRUE(g_spawn_command_line_sync("xdotool type --delay 20 sport", nullptr, nullptr, nullptr,
                                        nullptr));
  ASSERT_TRUE(
      RunUntil([&] { return w.cboJob().popup_list().get_model()->children().size() == 1; }));
  ASSERT_TRUE(g_spawn_command_line_sync("xdotool key Return", nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(RunUntil([&] { return browser().last_navigation() == "Navigate:http://s1/"; }));
  EXPECT_FALSE(w.cboJob().popup().get_visible());
  EXPECT_EQ(w.JobSelectorIndex(), 39999);
  EXPECT_EQ(w.cboJob().shown_text(), "Sport");
  EXPECT_EQ(Tip(w, 2), "S2");
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(JobNavigationTest, AJobFileOnTheCommandLineOpensItsFirstPageInJobMode) {
  settings().Save("Setting", "Mode", "2");
  frmMain& w = Start("/J " + home.path() + "/JobFiles/Sport.tvj");
  EXPECT_EQ(w.mode(), Mode::Job);
  EXPECT_TRUE(w.clbComm().picBack(3).get_visible());
  EXPECT_EQ(w.cboJob().get_active_text(), "Sport");
  EXPECT_EQ(browser().calls, std::vector<std::string>{"Navigate:http://s1/"});
}

TEST_F(JobNavigationTest, AnUnknownJobOnTheCommandLineOpensNothingAndSaysNothing) {
  frmMain& w = Start("/j " + home.path() + "/JobFiles/Weather.tvj");
  EXPECT_EQ(w.mode(), Mode::Job);
  EXPECT_EQ(w.JobSelectorIndex(), -1);
  EXPECT_EQ(browser().navigation_count(), 0);
  EXPECT_TRUE(dialogs.shown.empty());
}

// A job file from outside the jobs folder showed the listed job of its name (here another News),
// or nothing without a word. It is offered for adding, under another name when its own is taken,
// and then opened.
TEST_F(JobNavigationTest, AJobFileFromElsewhereIsOfferedForAddingAndThenOpened) {
  TempDir elsewhere;
  const std::vector<JobEntry> mine = {{"Mine", "http://mine/"}, {"Two", "http://two/"}};
  ASSERT_TRUE(WriteJobFile(elsewhere.path(), "News", mine));
  const std::string file = JobFilePath(elsewhere.path(), "News");
  dialogs.AnswerMessage(MsgResult::Yes);
  frmMain& w = Start("/j " + file);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text,
            "ジョブファイル「" + file +
                "」はジョブの一覧にありません。\r\nジョブ「News」は既にあるた"
                "め、ジョブ「News (2)」として追加して開きますか？");
  EXPECT_EQ(dialogs.shown[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(w.cboJob().get_active_text(), "News (2)");
  EXPECT_EQ(browser().calls, std::vector<std::string>{"Navigate:http://mine/"});
  EXPECT_EQ(ReadJobList(home.path())->back(), "News (2)");
  EXPECT_EQ(ReadJobFile(home.path(), "News (2)")->entries, mine);
}

TEST_F(JobNavigationTest, AJobFileFromElsewhereDeclinedOrUnreadableAddsNothing) {
  TempDir elsewhere;
  ASSERT_TRUE(WriteJobFile(elsewhere.path(), "Weather", {{"Sun", "http://sun/"}}));
  const std::string file = JobFilePath(elsewhere.path(), "Weather");
  const std::vector<std::string> jobs = *ReadJobList(home.path());
  dialogs.AnswerMessage(MsgResult::No);
  frmMain& w = Start("/j " + file);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "ジョブファイル「" + file +
                                       "」はジョブの一覧にありません。\r\nジョブ「Weather」として"
                                       "追加して開きますか？");
  EXPECT_EQ(w.JobSelectorIndex(), -1);
  EXPECT_EQ(browser().navigation_count(), 0);
  EXPECT_EQ(*ReadJobList(home.path()), jobs);

  app.reset();
  browsers.clear();
  dialogs.shown.clear();
  frmMain& again = Start("/j " + elsewhere.file("Gone.tvj"));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_NE(dialogs.shown[0].text.find(elsewhere.file("Gone.tvj")), std::string::npos)
      << dialogs.shown[0].text;
  EXPECT_EQ(again.JobSelectorIndex(), -1);
}

TEST_F(JobNavigationTest, AMissingJobListIsReportedAtStartUp) {
  g_unlink((home.path() + "/TVJob.lst").c_str());
  Start("");
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(
      dialogs.shown[0].text,
      "ジョブリストファイル TVJob.lst が見つかりません。\r\nジョブを読み込まずに起動します。");
  EXPECT_EQ(dialogs.shown[0].icon, MsgIcon::Exclamation);
}

// A script address from a job file ran in the shown page without a word.
TEST_F(JobNavigationTest, ScriptAddressesFromAJobAskFirst) {
  const std::string script = "javascript:document.title='x'";
  ASSERT_TRUE(WriteJobFile(home.path(), "Single", {{"Run", script}}));
  ASSERT_TRUE(WriteJobFile(home.path(), "Sport", {{"S1", "http://s1/"}, {"S2", script}}));
  frmMain& w = Start("");
  const int at_start = browser().navigation_count();

  dialogs.AnswerMessage(MsgResult::No);
  Pick(w, 1);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, kScriptAddressQuestion);
  EXPECT_EQ(dialogs.shown[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(dialogs.shown[0].default_button, MsgDefault::Second) << "No is the default";
  EXPECT_EQ(browser().navigation_count(), at_start);

  Pick(w, 4);
  EXPECT_EQ(browser().last_navigation(), "Navigate:http://s1/");
  const int before_step = browser().navigation_count();
  dialogs.AnswerMessage(MsgResult::No);
  w.cmdNav(2).clicked();  // a step onto a script entry
  Pump();
  EXPECT_EQ(browser().navigation_count(), before_step);
  EXPECT_EQ(dialogs.shown.size(), 2u);

  dialogs.AnswerMessage(MsgResult::Yes);
  Pick(w, 1);
  EXPECT_EQ(browser().last_navigation(), "Navigate:" + script);

  // Typed into the address box, it is what the user asked for.
  w.txtURL().set_text(script);
  w.txtURL().activate();
  EXPECT_EQ(browser().last_navigation(), "Navigate2:" + script);
  EXPECT_EQ(dialogs.shown.size(), 3u);
  EXPECT_TRUE(dialogs.all_used());
}

// A job entry with a 10 MB title stalled the window in the step buttons' tooltips.
TEST_F(JobNavigationTest, HugeEntryTitlesAreShortenedInTheTips) {
  const std::string huge(10 << 20, 'T');
  ASSERT_TRUE(WriteJobFile(home.path(), "Single", {{huge, "http://only/"}}));
  frmMain& w = Start("");
  Pick(w, 1);
  const Glib::ustring tip = Tip(w, 0);
  EXPECT_LT(tip.size(), 400u);
  EXPECT_EQ(tip.raw().substr(tip.bytes() - 3), "…");
  EXPECT_EQ(w.job_cursor().entries()[0].Title, huge);
}

// A job list or job file past its size limit was reported as not found.
TEST_F(JobNavigationTest, FilesPastTheirLimitAreReportedAsTooLarge) {
  const std::string list = JobListPath(home.path());
  ASSERT_EQ(truncate(list.c_str(), static_cast<off_t>(kJobListReadLimit) + 1), 0);
  Start("");
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, FileTooLargeMessage(list));
}

TEST_F(JobNavigationTest, AJobFilePastItsLimitIsReportedAsTooLarge) {
  const std::string file = JobFilePath(home.path(), "Single");
  ASSERT_EQ(truncate(file.c_str(), static_cast<off_t>(kJobFileReadLimit) + 1), 0);
  frmMain& w = Start("");
  Pick(w, 1);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, FileTooLargeMessage(file));
  EXPECT_EQ(dialogs.shown[0].icon, MsgIcon::Critical);
  EXPECT_EQ(w.JobSelectorIndex(), -1);
}

TEST_F(JobNavigationTest, TheTitleLineShowsTheEntryTitleOnlyForTheCurrentEntry) {
  frmMain& w = Start("");
  Pick(w, 0);
  browser().Complete("http://a/", "Page A as the site calls it");
  EXPECT_EQ(w.txtJob().get_text(), "A [http://a/]");
  browser().Complete("http://a/elsewhere", "Followed link");
  EXPECT_EQ(w.txtJob().get_text(), "Followed link [http://a/elsewhere]");
  // A followed link does not move the job: next continues from the entry stepped to.
  w.cmdNav(2).clicked();
  Pump();
  EXPECT_EQ(browser().last_navigation(), "Navigate:http://b/");
  // In direct mode the page's own title is shown.
  w.Run(ActionId::ToggleMode);
  browser().Complete("http://b/", "Page B");
  EXPECT_EQ(w.txtJob().get_text(), "Page B [http://b/]");
}

// Answers the list dialog once it is up: selects `row` (or none) and presses a button.
void AnswerListDialog(int row, Gtk::ResponseType response, std::vector<std::string>* seen) {
  Glib::signal_timeout().connect_once(
      [=] {
        for (Gtk::Window* top : Gtk::Window::list_toplevels()) {
          auto* dialog = dynamic_cast<frmList*>(top);
          if (!dialog || !dialog->get_visible()) continue;
          seen->push_back(dialog->get_title());
          auto model = dialog->lsvList().get_model();
          for (const auto& r : model->children()) {
            Glib::ustring title;
            r.get_value(0, title);
            seen->push_back(title);
          }
          if (row >= 0)
            dialog->lsvList().get_selection()->select(Gtk::TreePath(std::to_string(row)));
          else
            dialog->lsvList().get_selection()->unselect_all();
          if (response == Gtk::RESPONSE_ACCEPT) {
            // A double click on the row.
            dialog->lsvList().row_activated(Gtk::TreePath(std::to_string(row)),
                                            *dialog->lsvList().get_column(0));
          } else {
            dialog->response(response);
          }
          return;
        }
        AnswerListDialog(row, response, seen);  // not up yet
      },
      50);
}

TEST_F(JobNavigationTest, TheListDialogJumpsToTheChosenEntry) {
  frmMain& w = Start("");
  Pick(w, 0);
  std::vector<std::string> seen;
  AnswerListDialog(1, Gtk::RESPONSE_OK, &seen);
  w.cmdNav(4).clicked();
  Pump();
  EXPECT_EQ(seen, (std::vector<std::string>{"ｼﾞｮﾌﾞ（News）", "A", "B", "C"}));
  EXPECT_EQ(browser().last_navigation(), "Navigate:http://b/");
  EXPECT_EQ(w.job_cursor().current_index(), 1);
  EXPECT_EQ(Tip(w, 2), "C");

  // Picking the current entry opens it again.
  int n = browser().navigation_count();
  AnswerListDialog(1, Gtk::RESPONSE_ACCEPT, &seen);
  w.cmdNav(4).clicked();
  Pump();
  EXPECT_EQ(browser().navigation_count(), n + 1);
  EXPECT_EQ(browser().last_navigation(), "Navigate:http://b/");
}

TEST_F(JobNavigationTest, CancellingOrClosingTheListDialogChangesNothing) {
  frmMain& w = Start("");
  Pick(w, 0);
  std::vector<std::string> seen;
  int n = browser().navigation_count();
  AnswerListDialog(2, Gtk::RESPONSE_CANCEL, &seen);
  w.cmdNav(4).clicked();
  Pump();
  AnswerListDialog(2, Gtk::RESPONSE_DELETE_EVENT, &seen);  // the close box
  w.cmdNav(4).clicked();
  Pump();
  AnswerListDialog(-1, Gtk::RESPONSE_OK, &seen);  // OK with no row
  w.cmdNav(4).clicked();
  Pump();
  EXPECT_EQ(browser().navigation_count(), n);
  EXPECT_EQ(w.job_cursor().current_index(), 0);
}

TEST_F(JobNavigationTest, ReloadingTheListKeepsThePositionUnlessTheJobGotShorter) {
  frmMain& w = Start("");
  Pick(w, 0);
  w.cmdNav(3).clicked();  // entry 2
  Pump();
  ASSERT_TRUE(WriteJobFile(home.path(), "News",
                           {{"A", "http://a/"}, {"B2", "http://b2/"}, {"C", "http://c/"}}));
  w.LoadJobList(0);
  ASSERT_TRUE(w.LoadSelectedJob(true));
  EXPECT_EQ(w.job_cursor().current_index(), 2);
  ASSERT_TRUE(WriteJobFile(home.path(), "News", {{"A", "http://a/"}}));
  ASSERT_TRUE(w.LoadSelectedJob(true));
  EXPECT_EQ(w.job_cursor().current_index(), 0);
  // An index past the end selects the last job.
  w.LoadJobList(99);
  EXPECT_EQ(w.JobSelectorIndex(), 4);
}

}  // namespace
}  // namespace tarvik::test
