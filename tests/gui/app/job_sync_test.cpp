// Jobs changed behind a window's back, in real main windows with the fake browser and real job
// files: the loaded job moved by hand, an editor saving over entries another window added, and a
// job exported as shortcut files coming back through the favorites-folder import. (A job renamed
// and deleted by a second Tarvik: tests/e2e/process/job_rename_test.cpp.)
#include <atk/atk.h>
#include <glib/gstdio.h>
#include <glibmm/main.h>

#include "jobs/frm_edit_job.h"
#include "jobs/job_files.h"
#include "main_window_fixture.h"

namespace tarvik::test {
namespace {

using Entries = std::vector<JobEntry>;
const Entries kNews = {{"A", "http://a/"}, {"B", "http://b/"}, {"C", "http://c/"}};

class JobSyncTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_TRUE(RewriteJobList(home.path(), {"News", "Sport"}));
    ASSERT_TRUE(WriteJobFile(home.path(), "News", kNews));
    ASSERT_TRUE(WriteJobFile(home.path(), "Sport", {{"S1", "http://s1/"}}));
  }
  // A step button pressed, and the page it asked for shown.
  void StepAndShow(frmMain& w, int button) {
    w.cmdNav(button).clicked();
    Pump();
    const std::string nav = browser().last_navigation();
    browser().Complete(nav.substr(nav.find(':') + 1), "page");
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
};

TEST_F(JobSyncTest, TheLoadedJobFollowsAMoveOfItsFile) {
  frmMain& w = Start("");
  w.cboJob().set_active(0);
  StepAndShow(w, kStepNext);
  StepAndShow(w, kStepNext);  // News at C
  // A plain mv of the job file, and the list rewritten by hand.
  ASSERT_EQ(
      g_rename(JobFilePath(home.path(), "News").c_str(), JobFilePath(home.path(), "World").c_str()),
      0);
  ASSERT_TRUE(RewriteJobList(home.path(), {"Sport", "World"}));
  ASSERT_TRUE(RunUntil([&] {
    return SelectorItems(w) == std::vector<std::string>{"Sport", "World"};
  }));
  EXPECT_EQ(w.cboJob().get_active_text(), "World");
  EXPECT_EQ(w.CurJobIdx(), 1);
  EXPECT_EQ(w.job_cursor().name(), "World");
  EXPECT_EQ(w.job_cursor().current_index(), 2);
  StepAndShow(w, kStepPrevious);
  EXPECT_EQ(browser().last_navigation(), "Navigate:http://b/");
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(JobSyncTest, SavingInTheEditorKeepsEntriesAnotherWindowAddedMeanwhile) {
  frmMain& w = Start("");
  w.cboJob().set_active(0);
  ASSERT_NE(browser(0).host()->NewWindow2(), nullptr);
  frmMain& other = *app->new_window(1);
  other.show();
  WaitUntilManaged(other);

  bool driven = false;
  std::vector<Entries> shown_after_save;
  // The editor runs its own modal loop; this drives it while it is shown.
  sigc::connection look = Glib::signal_timeout().connect(
      [&] {
        frmEditJob* editor = nullptr;
        for (Gtk::Window* top : Gtk::Window::list_toplevels())
          if (auto* e = dynamic_cast<frmEditJob*>(top); e && e->get_visible()) editor = e;
        if (!editor) return true;
        driven = true;
        // The user deletes B and adds X...
        editor->lsvURL().get_selection()->select(Gtk::TreeModel::Path("1"));
        dialogs.AnswerMessage(MsgResult::Yes);
        editor->cmdDel().clicked();
        Pump();
        editor->txtTitle().set_text("X");
        editor->txtURL().set_text("http://x/");
        editor->cmdAdd().clicked();
        Pump();
        // ...while the other window adds the page it shows to the same job.
        browser(1).Complete("http://p/", "P");
        other.job_extras().AddPageTo("News");
        dialogs.AnswerMessage(MsgResult::OK);
        editor->cmdRefresh().clicked();
        Pump();
        shown_after_save.push_back(editor->Rows());
        browser(1).Complete("http://q/", "Q");
        other.job_extras().AddPageTo("News");
        dialogs.AnswerMessage(MsgResult::OK);
        editor->cmdOK().clicked();
        Pump();
        shown_after_save.push_back(editor->Rows());
        return false;
      },
      10);
  w.Run(ActionId::EditJob);
  look.disconnect();
  ASSERT_TRUE(driven);
  const Entries saved = {{"A", "http://a/"},
                         {"C", "http://c/"},
                         {"X", "http://x/"},
                         {"P", "http://p/"},
                         {"Q", "http://q/"}};
  EXPECT_EQ(ReadJobFile(home.path(), "News")->entries, saved);
  ASSERT_EQ(shown_after_save.size(), 2u);
  EXPECT_EQ(shown_after_save[0], Entries(saved.begin(), saved.end() - 1));
  EXPECT_EQ(shown_after_save[1], saved);
  EXPECT_EQ(w.job_cursor().entries(), saved);
  EXPECT_TRUE(dialogs.all_used());
}

TEST_F(JobSyncTest, ThePlaceInTheJobFollowsStepsPagesAndOutsideChanges) {
  frmMain& w = Start("");
  Gtk::Label& place = w.clbComm().lblPlace();
  EXPECT_FALSE(place.get_visible());
  ASSERT_TRUE(RunUntil([&] { return w.txtJob().get_allocated_width() > 1; }));
  const Gtk::Allocation alone = w.txtJob().get_allocation();
  w.cboJob().set_active(0);
  browser().Complete("http://a/", "A");
  EXPECT_EQ(place.get_text(), "1 / 3");
  StepAndShow(w, kStepNext);
  EXPECT_EQ(place.get_text(), "2 / 3");
  // The label sits beside the title line, which gives up its room, and a screen reader reads it.
  ASSERT_TRUE(RunUntil([&] { return w.txtJob().get_allocated_width() < alone.get_width(); }));
  const Gtk::Allocation title = w.txtJob().get_allocation(), label = place.get_allocation();
  EXPECT_GE(label.get_x(), title.get_x() + title.get_width());
  EXPECT_EQ(label.get_x() + label.get_width(), alone.get_x() + alone.get_width());
  EXPECT_EQ(label.get_y(), alone.get_y());
  EXPECT_EQ(std::string(atk_object_get_name(place.get_accessible()->gobj())),
            "ジョブ内の位置 2 / 3");

  // A page that is not the current entry's has no place.
  browser().Complete("http://elsewhere/", "E");
  EXPECT_EQ(place.get_text(), "");
  EXPECT_FALSE(place.get_visible());
  ASSERT_TRUE(RunUntil([&] { return w.txtJob().get_allocated_width() == alone.get_width(); }));
  StepAndShow(w, kStepLast);
  EXPECT_EQ(place.get_text(), "3 / 3");

  // Another process puts an entry in front: the same page is now the fourth.
  ASSERT_TRUE(
      WriteJobFile(home.path(), "News", {{"Z", "http://z/"}, kNews[0], kNews[1], kNews[2]}));
  ASSERT_TRUE(RunUntil([&] { return place.get_text() == "4 / 4"; }));
  // And deletes the job: nothing is loaded.
  ASSERT_TRUE(RewriteJobList(home.path(), {"Sport"}));
  ASSERT_EQ(g_remove(JobFilePath(home.path(), "News").c_str()), 0);
  ASSERT_TRUE(RunUntil([&] { return !place.get_visible(); }));
  EXPECT_EQ(place.get_text(), "");
}

TEST_F(JobSyncTest, AJobExportedAsShortcutsImportsAsItLeft) {
  TempDir files;
  const Entries tour = {{"京都 観光", "http://kyoto/"}, {"2024 Tax", "http://tax/"}};
  ASSERT_TRUE(WriteJobFile(home.path(), "Tour", tour));
  ASSERT_TRUE(AppendJobName(home.path(), "Tour"));
  frmMain& w = Start("");
  w.cboJob().set_active(2);
  dialogs.AnswerFolder(files.path());
  w.Run(ActionId::ExportShortcuts);
  ASSERT_TRUE(g_file_test(files.file("Tour/001 京都 観光.url").c_str(), G_FILE_TEST_EXISTS));

  ASSERT_EQ(g_rename(files.file("Tour").c_str(), files.file("Trip").c_str()), 0);
  dialogs.AnswerFolder(files.file("Trip"));
  dialogs.AnswerMessage(MsgResult::Yes);
  w.Run(ActionId::ImportFavoritesFolder);
  EXPECT_EQ(ReadJobFile(home.path(), "Trip")->entries, tour);

  // An ordinary folder whose names begin with years keeps them.
  ASSERT_EQ(g_rename(files.file("Trip/001 京都 観光.url").c_str(),
                     files.file("Trip/2023 Tax.url").c_str()),
            0);
  ASSERT_EQ(g_rename(files.file("Trip/002 2024 Tax.url").c_str(),
                     files.file("Trip/2024 Tax.url").c_str()),
            0);
  dialogs.AnswerFolder(files.file("Trip"));
  dialogs.AnswerMessage(MsgResult::Yes);
  dialogs.AnswerMessage(MsgResult::Yes);  // overwrite the job imported above
  w.Run(ActionId::ImportFavoritesFolder);
  EXPECT_EQ(ReadJobFile(home.path(), "Trip")->entries,
            (Entries{{"2023 Tax", "http://kyoto/"}, {"2024 Tax", "http://tax/"}}));
  EXPECT_TRUE(dialogs.all_used());
}

}  // namespace
}  // namespace tarvik::test
