// The job features beyond the designed job bar, in a real main window with the fake browser and
// real job files: adding the page shown to a job, resuming a job where it was left, and
// following changes another process makes to the files.
#include <glib/gstdio.h>
#include <glibmm/main.h>
#include <gtkmm/menu.h>
#include <sys/wait.h>
#include <unistd.h>

#include "jobs/add_to_job.h"
#include "jobs/bookmarks.h"
#include "jobs/frm_edit_job.h"
#include "jobs/frm_pick_job.h"
#include "jobs/frm_pick_links.h"
#include "jobs/job_files.h"
#include "jobs/job_resume.h"
#include "jobs/link_jobs.h"
#include "main_window_fixture.h"
#include "support/gui_input.h"
#include "support/when_shown.h"

namespace tarvik::test {
namespace {

class JobExtrasTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_TRUE(RewriteJobList(home.path(), {"News", "Sport"}));
    ASSERT_TRUE(WriteJobFile(home.path(), "News",
                             {{"A", "http://a/"}, {"B", "http://b/"}, {"C", "http://c/"}}));
    ASSERT_TRUE(WriteJobFile(home.path(), "Sport", {{"S1", "http://s1/"}, {"S2", "http://s2/"}}));
  }

  void Pick(frmMain& w, int index) { w.cboJob().set_active(index); }
  std::string Tip(frmMain& w, int i) { return w.cmdNav(i).get_tooltip_text(); }
  // A step button pressed, and the page it asked for shown.
  void StepAndShow(frmMain& w, int button, int browser_index = 0) {
    w.cmdNav(button).clicked();
    Pump();
    CompleteLast(browser_index);
  }
  void CompleteLast(int browser_index = 0) {
    std::string nav = browser(browser_index).last_navigation();
    std::string url = nav.substr(nav.find(':') + 1);
    browser(browser_index).Complete(url, "page " + url);
  }
  std::vector<std::string> SelectorItems(frmMain& w) {
    std::vector<std::string> out;
    for (const auto& row : w.cboJob().get_model()->children()) {
      Glib::ustring text;
      row.get_value(0, text);
      out.push_back(text);
    }
    return out;
  }
  // The items of the add-to-job submenu, as it is built when the job menu opens.
  std::vector<Gtk::MenuItem*> AddToJobItems(frmMain& w) {
    w.job_extras().RebuildAddToJobMenu();
    std::vector<Gtk::MenuItem*> items;
    for (Gtk::Widget* child : w.menu_item(ActionId::AddToJobMenu)->get_submenu()->get_children())
      items.push_back(dynamic_cast<Gtk::MenuItem*>(child));
    return items;
  }
};

TEST_F(JobExtrasTest, TheJobMenuHoldsTheNewItemsBelowTheDesignedOnes) {
  frmMain& w = Start("");
  std::vector<std::string> labels;
  for (Gtk::Widget* child : w.menu_item(ActionId::JobMenu)->get_submenu()->get_children())
    labels.push_back(child->get_name());
  const std::vector<std::string> expected = {
      "mnuNewJob",          "mnuEditJob",         "mSep04",
      "mnuImportFavFolder", "mSepJob1",           "mhAddToJob",
      "mnuResumeJob",       "mSepJob2",           "mnuImportBookmarks",
      "mnuExportBookmarks", "mnuExportShortcuts", "mSepJob3",
      "mnuJobFromLinks",    "mnuJobFromUrlList",  "mSepJobSteps",
      "mnuFirstEntry",      "mnuPreviousEntry",   "mnuNextEntry",
      "mnuLastEntry",       "mnuEntryList",       "mSepRound",
      "mnuCheckUpdates",    "mnuNextUpdate",      "mnuMarkAllSeen",
      "mnuAutoCheckJob"};
  EXPECT_EQ(labels, expected);
  EXPECT_EQ(w.menu_item(ActionId::JobFromPageLinks)->get_label(),
            "ﾍﾟｰｼﾞのﾘﾝｸからｼﾞｮﾌﾞを作成(_L)...");
  EXPECT_EQ(w.menu_item(ActionId::JobFromUrlList)->get_label(), "URLﾘｽﾄの読み込み(_T)...");
  EXPECT_EQ(w.menu_item(ActionId::AddToJobMenu)->get_label(), "表示中のﾍﾟｰｼﾞをｼﾞｮﾌﾞに追加(_G)");
  EXPECT_EQ(w.menu_item(ActionId::ResumeJob)->get_label(), "続きから開く(_R)");
}

// Links dropped on the job selector become a new job through the pick dialog, loaded on its
// first entry; the page's own links are read the same way from the menu.
TEST_F(JobExtrasTest, LinksDroppedOnTheSelectorOrReadFromThePageBecomeANewJob) {
  frmMain& w = Start("");
  dialogs.AnswerInput("Dropped");
  WhenShown<frmPickLinks> pick([](frmPickLinks& d) { d.cmdOK().clicked(); });
  DropOnto(w.cboJob(), "text/plain", "https://d.example/1\nhttps://d.example/2 mailto:x@y");
  ASSERT_TRUE(RunUntil([&] { return pick.opened == 1 && w.job_cursor().loaded(); }));
  EXPECT_EQ(ReadJobFile(home.path(), "Dropped")->entries,
            (std::vector<JobEntry>{{"https://d.example/1", "https://d.example/1"},
                                   {"https://d.example/2", "https://d.example/2"}}));
  EXPECT_EQ(SelectorItems(w), (std::vector<std::string>{"News", "Sport", "Dropped"}));
  EXPECT_EQ(w.cboJob().get_active_text(), "Dropped");
  EXPECT_EQ(browser().last_navigation(), "Navigate:https://d.example/1");
  // A link dragged from a web page keeps the text it shows there as its title.
  const std::u16string moz = u"https://m.example/\r\n記事の題";
  dialogs.AnswerInput("Moz");
  WhenShown<frmPickLinks> pick_moz([](frmPickLinks& d) { d.cmdOK().clicked(); });
  DropOnto(w.cboJob(), "text/x-moz-url",
           std::string(reinterpret_cast<const char*>(moz.data()), 2 * moz.size()));
  ASSERT_TRUE(RunUntil([&] { return w.job_cursor().name() == "Moz"; }));
  EXPECT_EQ(w.job_cursor().entries(), (std::vector<JobEntry>{{"記事の題", "https://m.example/"}}));

  browser().page_links = {{"http://p/1", "一"}, {"javascript:void(0)", "js"}, {"http://p/2", ""}};
  dialogs.AnswerInput("Page");
  WhenShown<frmPickLinks> pick_page([](frmPickLinks& d) {
    EXPECT_EQ(d.Checked(),
              (std::vector<JobEntry>{{"一", "http://p/1"}, {"http://p/2", "http://p/2"}}));
    d.cmdOK().clicked();
  });
  w.menu_item(ActionId::JobFromPageLinks)->activate();
  Pump();
  ASSERT_TRUE(RunUntil([&] { return pick_page.opened == 1 && w.job_cursor().name() == "Page"; }));
  EXPECT_EQ(browser().last_navigation(), "Navigate:http://p/1");

  browser().page_links = {{"mailto:x@example.com", "mail"}};
  w.menu_item(ActionId::JobFromPageLinks)->activate();
  Pump();
  EXPECT_EQ(dialogs.shown.back().text, kNoPageLinksMessage);
}

// A job deleted by another window left the title line naming its entry.
TEST_F(JobExtrasTest, AJobDeletedElsewhereNoLongerNamesThePageShown) {
  frmMain& w = Start("");
  Pick(w, 0);
  browser().Complete("http://a/", "Page A");
  ASSERT_TRUE(RewriteJobList(home.path(), {"Sport"}) && DeleteJobFile(home.path(), "News"));
  w.job_extras().sync().RefreshFromFiles();
  EXPECT_EQ(w.txtJob().get_text(), "Page A [http://a/]");
}

// "続きから開く" and the two exports were live with no job loaded, and did nothing.
TEST_F(JobExtrasTest, TheItemsThatActOnTheLoadedJobAreOffWhileNoneIsLoaded) {
  ASSERT_TRUE(DeleteJobFile(home.path(), "Sport"));
  frmMain& w = Start("");
  auto live = [&] {
    std::vector<bool> out;
    for (ActionId id : {ActionId::ResumeJob, ActionId::ExportBookmarks, ActionId::ExportShortcuts})
      out.push_back(w.action(id).enabled());
    return out;
  };
  EXPECT_EQ(live(), std::vector<bool>(3, false));
  Pick(w, 1);  // Sport has no file: nothing is loaded
  EXPECT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(live(), std::vector<bool>(3, false));
  Pick(w, 0);
  EXPECT_EQ(live(), std::vector<bool>(3, true));
}

// Adding the page shown to a job, and writing a job out as bookmarks, finished without a word.
TEST_F(JobExtrasTest, AddingAPageAndExportingBookmarksSaySoInTheStatusBar) {
  frmMain& w = Start("");
  Gtk::Label& status = w.stbStat().panel(0);
  browser().Complete("http://elsewhere/page", "Elsewhere");
  AddToJobItems(w)[1]->activate();
  EXPECT_EQ(status.get_text(), "「Sport」に追加しました");
  // The browser's own texts wait until the notice has gone.
  browser().signal_status_text_change().emit("http://link/");
  EXPECT_EQ(status.get_text(), "「Sport」に追加しました");
  EXPECT_TRUE(RunUntil([&] { return status.get_text() == "http://link/"; },
                       (MainStatusBar::kNoticeSeconds + 2) * 1000));

  dialogs.AnswerInput("Trip");
  AddToJobItems(w).back()->activate();
  EXPECT_EQ(status.get_text(), "「Trip」に追加しました");

  Pick(w, 0);
  TempDir files;
  const std::string out = files.file("news.html");
  dialogs.AnswerFile(out);
  w.Run(ActionId::ExportBookmarks);
  EXPECT_EQ(status.get_text(), "「" + out + "」に書き出しました");
  EXPECT_TRUE(dialogs.all_used());
  EXPECT_EQ(dialogs.shown.size(), 2u) << "the name of the new job and the file; no message";
}

TEST_F(JobExtrasTest, AddingThePageToTheLoadedJobKeepsTheCurrentEntry) {
  frmMain& w = Start("");
  Pick(w, 0);
  CompleteLast();
  StepAndShow(w, kStepNext);  // B is current
  browser().Complete("http://elsewhere/page", "Elsewhere");

  std::vector<Gtk::MenuItem*> items = AddToJobItems(w);
  ASSERT_EQ(items.size(), 4u);  // News, Sport, a separator, the new job
  EXPECT_EQ(items[0]->get_label(), "News");
  EXPECT_EQ(items[1]->get_label(), "Sport");
  EXPECT_EQ(items[3]->get_label(), kAddPageToNewJobCaption);
  items[0]->activate();

  std::optional<Job> job = ReadJobFile(home.path(), "News");
  ASSERT_TRUE(job);
  ASSERT_EQ(job->entries.size(), 4u);
  EXPECT_EQ(job->entries[3], (JobEntry{"Elsewhere", "http://elsewhere/page"}));
  EXPECT_EQ(w.job_cursor().last_index(), 3);
  EXPECT_EQ(w.job_cursor().current_index(), 1);
  EXPECT_EQ(Tip(w, 3), "Elsewhere");
  // The menu is built afresh: opening it again gives the same items, not twice as many.
  EXPECT_EQ(AddToJobItems(w).size(), 4u);

  // Another job gets the page without touching the loaded one.
  AddToJobItems(w)[1]->activate();
  EXPECT_EQ(ReadJobFile(home.path(), "Sport")->entries.size(), 3u);
  EXPECT_EQ(w.job_cursor().last_index(), 3);
  EXPECT_TRUE(dialogs.shown.empty());
}

// A submenu of a widget per job froze the window for minutes on a list of tens of thousands of
// jobs. It lists the first jobs; "ほかのｼﾞｮﾌﾞ..." finds any other by a few letters of its name.
TEST_F(JobExtrasTest, ALongJobListListsItsFirstJobsAndFindsAnyOtherBySearch) {
  std::vector<std::string> names;
  for (int i = 0; i < 3000; ++i) names.push_back("Job " + std::to_string(i));
  ASSERT_TRUE(RewriteJobList(home.path(), names));
  ASSERT_TRUE(WriteJobFile(home.path(), "Job 2345", {{"X", "http://x/"}}));
  frmMain& w = Start("");
  browser().Complete("http://elsewhere/page", "Elsewhere");
  std::vector<Gtk::MenuItem*> items = AddToJobItems(w);
  ASSERT_EQ(items.size(), kAddToJobMenuJobs + 3u);  // the jobs, the others, a separator, new
  EXPECT_EQ(items[kAddToJobMenuJobs - 1]->get_label(),
            "Job " + std::to_string(kAddToJobMenuJobs - 1));
  EXPECT_EQ(items[kAddToJobMenuJobs]->get_label(), kAddPageToOtherJobCaption);
  EXPECT_EQ(items.back()->get_label(), kAddPageToNewJobCaption);

  WhenShown<frmPickJob> pick([](frmPickJob& d) {
    // The drop-down opens with the dialog; typing narrows it and Enter takes the job found.
    ASSERT_TRUE(RunUntil([&] { return d.cboJob().popup().get_visible(); }));
    EXPECT_EQ(d.cboJob().item_count(), 3000);
    d.cboJob().popup_search().set_text("job 2345");
    ASSERT_TRUE(
        RunUntil([&] { return d.cboJob().popup_list().get_model()->children().size() == 1; }));
    d.cboJob().popup_search().activate();
  });
  items[kAddToJobMenuJobs]->activate();
  EXPECT_EQ(pick.opened, 1);
  EXPECT_EQ(ReadJobFile(home.path(), "Job 2345")->entries,
            (std::vector<JobEntry>{{"X", "http://x/"}, {"Elsewhere", "http://elsewhere/page"}}));
  EXPECT_EQ(w.stbStat().panel(0).get_text(), "「Job 2345」に追加しました");

  WhenShown<frmPickJob> cancel([](frmPickJob& d) { d.cmdCancel().clicked(); });
  AddToJobItems(w)[kAddToJobMenuJobs]->activate();
  EXPECT_EQ(cancel.opened, 1);
  EXPECT_EQ(ReadJobFile(home.path(), "Job 2345")->entries.size(), 2u);
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(JobExtrasTest, AnEmptyPageIsNotAddedAndANewJobAsksForItsName) {
  frmMain& w = Start("");
  browser().Complete("about:blank", "");
  AddToJobItems(w)[0]->activate();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "お気に入りに追加するページがありません。");
  EXPECT_EQ(ReadJobFile(home.path(), "News")->entries.size(), 3u);

  browser().Complete("http://fresh/", "Fresh page");
  dialogs.AnswerInput("bad/name");
  dialogs.AnswerInput("Fresh");
  AddToJobItems(w).back()->activate();
  EXPECT_EQ(dialogs.shown.at(1).text, "作成するジョブの名前を入力してください");
  EXPECT_EQ(dialogs.shown.at(2).text, "ファイル名に使用できない文字を\r\n含んでいます");
  std::optional<Job> job = ReadJobFile(home.path(), "Fresh");
  ASSERT_TRUE(job);
  EXPECT_EQ(job->entries, (std::vector<JobEntry>{{"Fresh page", "http://fresh/"}}));
  EXPECT_EQ(*ReadJobList(home.path()), (std::vector<std::string>{"News", "Sport", "Fresh"}));
  EXPECT_EQ(SelectorItems(w), (std::vector<std::string>{"News", "Sport", "Fresh"}));
  EXPECT_TRUE(dialogs.all_used());
}

TEST_F(JobExtrasTest, AJobResumesWhereItWasLeftAfterARestartAndARename) {
  {
    frmMain& w = Start("");
    Pick(w, 0);
    CompleteLast();
    StepAndShow(w, kStepNext);
    StepAndShow(w, kStepNext);                                 // C
    browser().Complete("http://c/inside", "a link followed");  // the job's place stays C
    app.reset();
    browsers.clear();
  }
  EXPECT_EQ(RecallResumePoint("News"), (ResumePoint{2, "http://c/"}));
  {
    frmMain& w = Start("");
    Pick(w, 0);  // choosing the job still opens its first page
    EXPECT_EQ(browser().last_navigation(), "Navigate:http://a/");
    CompleteLast();
    w.Run(ActionId::ResumeJob);
    EXPECT_EQ(browser().last_navigation(), "Navigate:http://c/");
    EXPECT_EQ(w.job_cursor().current_index(), 2);
    EXPECT_EQ(Tip(w, 2), "現在最後です");
    app.reset();
    browsers.clear();
  }
  // The editor's rename carries the point to the new name (its own test drives the dialog).
  RenameResumePoint("News", "Daily");
  ASSERT_TRUE(RenameJobFile(home.path(), "News", "Daily"));
  ASSERT_TRUE(RenameJobInList(home.path(), "News", "Daily"));
  {
    frmMain& w = Start("");
    Pick(w, 0);
    CompleteLast();
    w.Run(ActionId::ResumeJob);
    EXPECT_EQ(browser().last_navigation(), "Navigate:http://c/");
  }
}

TEST_F(JobExtrasTest, ResumeLoadsTheSelectedJobWhenAnotherIsLoaded) {
  RememberResumePoint("Sport", {1, "http://s2/"});
  frmMain& w = Start("");
  Pick(w, 0);
  CompleteLast();
  // A job without a point resumes at its first entry.
  w.Run(ActionId::ResumeJob);
  EXPECT_EQ(browser().last_navigation(), "Navigate:http://a/");
  Pick(w, 1);
  CompleteLast();
  w.Run(ActionId::ResumeJob);
  EXPECT_EQ(browser().last_navigation(), "Navigate:http://s2/");
  EXPECT_EQ(w.job_cursor().name(), "Sport");
}

TEST_F(JobExtrasTest, ChangesAnotherProcessMakesReachTheWindow) {
  frmMain& w = Start("");
  Pick(w, 1);  // Sport
  CompleteLast();
  StepAndShow(w, kStepNext);  // S2 current
  ASSERT_EQ(w.job_cursor().current_index(), 1);

  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Another Tarvik: puts an entry in front of the loaded job and renames the other job.
    bool ok = WriteJobFile(home.path(), "Sport",
                           {{"S0", "http://s0/"}, {"S1", "http://s1/"}, {"S2", "http://s2/"}}) &&
              AppendEntryToJob(home.path(), "Sport", {"S3", "http://s3/"}) &&
              RenameJobFile(home.path(), "News", "World") &&
              RenameJobInList(home.path(), "News", "World");
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  EXPECT_TRUE(RunUntil([&] {
    return SelectorItems(w) == std::vector<std::string>{"World", "Sport"} &&
           w.job_cursor().last_index() == 3;
  }));
  EXPECT_EQ(w.cboJob().get_active_text(), "Sport");
  EXPECT_EQ(w.CurJobIdx(), 1);
  EXPECT_EQ(w.job_cursor().current_index(), 2);  // still S2
  EXPECT_EQ(w.job_cursor().current().URL, "http://s2/");
  EXPECT_EQ(Tip(w, 1), "S1");
  EXPECT_EQ(Tip(w, 2), "S3");
  EXPECT_EQ(Tip(w, 0), "S0");
  StepAndShow(w, kStepNext);
  EXPECT_EQ(browser().last_navigation(), "Navigate:http://s3/");

  // The loaded job's file goes: the job stays in memory and still steps.
  ASSERT_TRUE(DeleteJobFile(home.path(), "Sport"));
  Pump(400);
  EXPECT_EQ(w.job_cursor().last_index(), 3);
  StepAndShow(w, kStepFirst);
  EXPECT_EQ(browser().last_navigation(), "Navigate:http://s0/");
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(JobExtrasTest, BookmarksComeInAsJobsAndJobsGoOutAsBookmarksAndShortcuts) {
  TempDir files;
  const std::string html = files.file("bookmarks.html");
  const std::string text =
      "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n"
      "<DT><H3>News</H3>\n<DL><p>\n"
      "<DT><A HREF=\"http://n1/\">N1</A>\n<DT><A HREF=\"http://n2/\">N2</A>\n</DL><p>\n"
      "<DT><H3>Tools</H3>\n<DL><p>\n<DT><A HREF=\"http://t1/\">T1</A>\n</DL><p>\n"
      "</DL>\n";
  ASSERT_TRUE(g_file_set_contents(html.c_str(), text.c_str(), -1, nullptr));
  frmMain& w = Start("");
  Pick(w, 1);  // Sport stays selected through the import
  dialogs.AnswerFile(html);
  w.Run(ActionId::ImportBookmarks);
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[0].kind, "open");
  EXPECT_EQ(dialogs.shown[1].text, "2 個のジョブ、3 件のURLを読み込みました。");
  // "News" was taken, so its folder becomes "News (2)".
  const std::vector<std::string> names = {"News", "Sport", "News (2)", "Tools"};
  EXPECT_EQ(*ReadJobList(home.path()), names);
  EXPECT_EQ(SelectorItems(w), names);
  EXPECT_EQ(w.cboJob().get_active_text(), "Sport");
  EXPECT_EQ(ReadJobFile(home.path(), "News (2)")->entries,
            (std::vector<JobEntry>{{"N1", "http://n1/"}, {"N2", "http://n2/"}}));
  EXPECT_EQ(ReadJobFile(home.path(), "Tools")->entries.size(), 1u);

  // The selected job, out as a bookmarks file that reads back as the same job.
  Pick(w, 0);
  const std::string out = files.file("news-out.html");
  dialogs.AnswerFile(out);
  w.Run(ActionId::ExportBookmarks);
  std::optional<std::vector<BookmarkJob>> back = ReadBookmarksFile(out, {});
  ASSERT_TRUE(back);
  ASSERT_EQ(back->size(), 1u);
  EXPECT_EQ((*back)[0].entries, ReadJobFile(home.path(), "News")->entries);

  // And as numbered shortcut files in a folder named after the job.
  dialogs.AnswerFolder(files.path());
  w.Run(ActionId::ExportShortcuts);
  EXPECT_TRUE(g_file_test(files.file("News/001 A.url").c_str(), G_FILE_TEST_IS_REGULAR));
  EXPECT_TRUE(g_file_test(files.file("News/003 C.url").c_str(), G_FILE_TEST_IS_REGULAR));
  EXPECT_EQ(dialogs.shown.back().caption, "URLﾌｧｲﾙとして書き出し");
  EXPECT_TRUE(dialogs.all_used());
}

TEST_F(JobExtrasTest, NothingIsReadWhileTheWindowsOwnEditorIsOpen) {
  frmMain& w = Start("");
  Pick(w, 0);
  CompleteLast();
  StepAndShow(w, kStepNext);  // B
  std::vector<std::string> items_while_open;
  int last_while_open = -1;
  bool driven = false;
  // The editor runs its own modal loop; this looks in while it is shown.
  sigc::connection look = Glib::signal_timeout().connect(
      [&] {
        for (Gtk::Window* top : Gtk::Window::list_toplevels()) {
          auto* editor = dynamic_cast<frmEditJob*>(top);
          if (!editor || !editor->get_visible()) continue;
          EXPECT_TRUE(AppendJobName(home.path(), "Later"));
          EXPECT_TRUE(WriteJobFile(
              home.path(), "News",
              {{"Z", "http://z/"}, {"A", "http://a/"}, {"B", "http://b/"}, {"C", "http://c/"}}));
          Pump(500);  // the watch has seen both changes by now
          items_while_open = SelectorItems(w);
          last_while_open = w.job_cursor().last_index();
          driven = true;
          editor->cmdCancel().clicked();
          return false;
        }
        return true;
      },
      10);
  w.Run(ActionId::EditJob);
  look.disconnect();
  ASSERT_TRUE(driven);
  EXPECT_EQ(items_while_open, (std::vector<std::string>{"News", "Sport"}));
  EXPECT_EQ(last_while_open, 2);
  // Once it closes, the window reads the files as it always did after the editor.
  EXPECT_TRUE(RunUntil([&] { return SelectorItems(w).size() == 3; }));
  EXPECT_EQ(w.job_cursor().last_index(), 3);
}

}  // namespace
}  // namespace tarvik::test
