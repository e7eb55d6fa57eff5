// A round through a job with the real engine against pages served on 127.0.0.1: what the user
// saw is kept, the list and the step to the next update follow the marks a check left, the
// places new since the last visit are highlighted, and a damaged state file costs only marks.
#include <glib.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <glibmm/main.h>
#include <gtkmm/checkmenuitem.h>
#include "app/frm_main.h"
#include "browse/address_fixup.h"
#include "jobs/frm_list.h"
#include "jobs/seen_state.h"
#include "platform/webkit_browser.h"
#include "support/app_fixture.h"
#include "support/gui_test.h"
#include "support/loopback_server.h"

namespace tarvik::test {
namespace {

constexpr int kLoad = 20000;  // ms; software rendering under Xvfb is slow to start

std::string Page(const std::string& name, const std::string& body) {
  return "<html><head><title>Page " + name + "</title></head><body>" + body + "</body></html>";
}

class RoundsTest : public AppTest {
 protected:
  // Starts Tarvik on a job of the pages named, served here, and waits for the first.
  frmMain& StartJob(const std::vector<std::string>& names) {
    std::string job;
    for (const std::string& n : names) job += n + "," + Url(n) + "\r\n";
    const std::string job_file = WriteJob(job);
    frmMain& w = StartWith("/j " + job_file, WebKitBrowser::Factory(FixUpAddress));
    EXPECT_TRUE(Shows(w, names[0]));
    return w;
  }
  std::string Url(const std::string& name) const { return server.url("/" + name + ".html"); }
  bool Shows(frmMain& w, const std::string& name) {
    return RunUntil([&] { return w.get_title() == "Page " + name + " -- Tarvik"; }, kLoad);
  }
  // The entry's page has settled and what it showed is kept.
  bool Seen(frmMain& w, const std::string& name, int64_t after = 0) {
    return RunUntil(
        [&] {
          const SeenEntry* e = w.rounds().state().Find(Url(name));
          return e && e->seen_at > after && !e->seen.fingerprint.empty();
        },
        kLoad);
  }
  // Sees the marks in the list dialog, keeps only the marked entries and picks the last.
  static bool Answer(frmList& dialog) {
    auto rows = dialog.list_model()->children();
    EXPECT_EQ(rows.size(), 4u);
    EXPECT_TRUE(dialog.chkOnlyUpdated().get_visible());
    dialog.chkOnlyUpdated().set_active(true);
    rows = dialog.list_model()->children();
    EXPECT_EQ(rows.size(), 3u);
    if (rows.size() != 3) return false;
    // The mark stands before the title as the list shows it.
    Gtk::TreeViewColumn* column = dialog.lsvList().get_column(0);
    auto* cell = dynamic_cast<Gtk::CellRendererText*>(column->get_first_cell());
    auto shown = [&](int row) {
      column->cell_set_cell_data(dialog.list_model(), rows[row], false, false);
      return cell->property_text().get_value();
    };
    EXPECT_EQ(shown(0), std::string(RoundMarkText(RoundMark::Changed)) + "b");
    EXPECT_EQ(shown(1), std::string(RoundMarkText(RoundMark::New)) + "c");
    EXPECT_EQ(shown(2), std::string(RoundMarkText(RoundMark::New)) + "d");
    dialog.lsvList().get_selection()->select(rows[2]);
    dialog.response(Gtk::RESPONSE_OK);
    return true;
  }
  static WebKitBrowser& Engine(frmMain& w) { return dynamic_cast<WebKitBrowser&>(w.browser()); }
  std::string Place(frmMain& w) { return w.clbComm().lblPlace().get_text(); }
  std::string Status(frmMain& w) { return w.stbStat().panel(0).get_text(); }

  LoopbackServer server;
};

// A check finds the page whose visible text changed and not the one whose HTML changed
// invisibly; the list dialog marks it and the pages never seen, and can show only those; the
// step to the next update visits them in turn, each seen as it is shown, and the count follows.
TEST_F(RoundsTest, ACheckMarksTheListAndTheStepGoesToTheNextUpdate) {
  server.Serve("/a.html", Page("a", "a<!-- 1 --><input type=hidden value=1>"));
  server.Serve("/b.html", Page("b", "<p>b</p>"));
  for (const char* n : {"c", "d"}) server.Serve(std::string("/") + n + ".html", Page(n, n));
  frmMain& w = StartJob({"a", "b", "c", "d"});
  ASSERT_TRUE(Seen(w, "a"));
  w.StepJob(kStepNext);
  ASSERT_TRUE(Shows(w, "b"));
  ASSERT_TRUE(Seen(w, "b"));
  EXPECT_EQ(Place(w), "2 / 4");

  server.Serve("/a.html", Page("a", "a<!-- 2 --><input type=hidden value=2>"));
  server.Serve("/b.html", Page("b", "<p>b</p><p>more</p>"));
  w.Run(ActionId::CheckUpdates);
  EXPECT_TRUE(w.rounds().checking());
  EXPECT_EQ(Status(w).rfind("更新を確認しています ", 0), 0u) << Status(w);
  ASSERT_TRUE(
      RunUntil([&] { return Status(w) == "更新の確認が終わりました (更新 1 · 新規 2)"; }, kLoad))
      << Status(w);
  EXPECT_FALSE(w.rounds().checking());
  EXPECT_EQ(Place(w), "2 / 4 · 更新 3");

  bool looked = false;
  auto drive = Glib::signal_timeout().connect(
      [&] {
        for (Gtk::Window* top : Gtk::Window::list_toplevels())
          if (auto* dialog = dynamic_cast<frmList*>(top); dialog && dialog->get_visible()) {
            looked = Answer(*dialog);
            if (!looked) dialog->response(Gtk::RESPONSE_CANCEL);
            return false;
          }
        return true;
      },
      20);
  w.StepJob(kStepList);
  drive.disconnect();
  ASSERT_TRUE(looked);
  ASSERT_TRUE(Shows(w, "d"));  // the filtered row stands for its own entry
  ASSERT_TRUE(RunUntil([&] { return Place(w) == "4 / 4 · 更新 2"; }, kLoad)) << Place(w);

  // Alt+N: from d round past the end to b, then to c; then no update is left.
  w.Run(ActionId::NextUpdate);
  ASSERT_TRUE(Shows(w, "b"));
  ASSERT_TRUE(RunUntil([&] { return Place(w) == "2 / 4 · 更新 1"; }, kLoad)) << Place(w);
  w.Run(ActionId::NextUpdate);
  ASSERT_TRUE(Shows(w, "c"));
  ASSERT_TRUE(RunUntil([&] { return Place(w) == "3 / 4"; }, kLoad)) << Place(w);
  EXPECT_EQ(w.cmdNav(kStepNext).get_tooltip_text(), "d");  // the next button keeps its text
  w.Run(ActionId::NextUpdate);
  EXPECT_TRUE(RunUntil([&] { return Status(w) == kNoUpdatesNotice; }, kLoad));
  EXPECT_EQ(w.job_cursor().current_index(), 2);
}

// A paragraph added since the last visit is highlighted on the page, out of the page's reach,
// and the status bar says how many places changed; with the setting off nothing is highlighted.
TEST_F(RoundsTest, APageShownAgainHighlightsItsNewParagraph) {
  server.Serve("/a.html", Page("a", "<p>First</p><p>Second</p>"));
  server.Serve("/b.html", Page("b", "b"));
  frmMain& w = StartJob({"a", "b"});
  ASSERT_TRUE(Seen(w, "a"));

  server.Serve("/a.html", Page("a", "<p>First</p><p>Brand <b>new</b> words</p><p>Second</p>"));
  w.StepJob(kStepNext);
  ASSERT_TRUE(Shows(w, "b"));
  w.StepJob(kStepPrevious);
  ASSERT_TRUE(Shows(w, "a"));
  EXPECT_TRUE(RunUntil([&] { return Status(w) == "前回から 1 か所が変わりました"; }, kLoad));

  auto highlighted = [&] {
    std::string text = "?";
    Engine(w).RunReadingScript(
        "(() => { const h = CSS.highlights.get('tarvik-new');"
        " return h ? [...h].map((r) => r.toString()).join('|') : ''; })()",
        [&](std::string t) { text = t; });
    RunUntil([&] { return text != "?"; }, kLoad);
    return text;
  };
  EXPECT_EQ(highlighted(), "Brand new words");

  // Off: the page shown again (changed once more) has nothing highlighted.
  auto* item = dynamic_cast<Gtk::CheckMenuItem*>(w.menu_item(ActionId::HighlightChanges));
  ASSERT_TRUE(item && item->get_active());
  item->set_active(false);
  server.Serve("/a.html", Page("a", "<p>First</p><p>Other</p><p>More</p>"));
  w.browser().Refresh2();
  EXPECT_TRUE(RunUntil([&] { return Status(w) == "前回から 2 か所が変わりました"; }, kLoad));
  EXPECT_EQ(highlighted(), "");
}

// A damaged state file is reported when the job loads; the job loads and steps as ever, and the
// next look writes a whole file again.
TEST_F(RoundsTest, ADamagedStateFileCostsOnlyTheMarks) {
  server.Serve("/a.html", Page("a", "a"));
  server.Serve("/b.html", Page("b", "b"));
  g_mkdir_with_parents(home.file("JobFiles").c_str(), 0755);
  g_file_set_contents(home.file("JobFiles/Job.tvseen").c_str(), "TarvikSeen 1\nU \x01\xff\nS x y\n",
                      -1, nullptr);
  frmMain& w = StartJob({"a", "b"});
  ASSERT_TRUE(RunUntil([&] { return !dialogs.shown.empty(); }, kLoad));
  EXPECT_NE(dialogs.shown[0].text.find("Job.tvseen"), std::string::npos) << dialogs.shown[0].text;
  EXPECT_EQ(Place(w), "1 / 2");
  w.StepJob(kStepNext);
  ASSERT_TRUE(Shows(w, "b"));
  ASSERT_TRUE(Seen(w, "b"));
  SeenStateRead again = ReadSeenState(home.path(), "Job");
  EXPECT_EQ(again.message, "");
  EXPECT_NE(again.state.Find(Url("b")), nullptr);
}

// A job marked for it is checked on its own; what the check found shows beside the job in the
// selector's list and in the place label.
TEST_F(RoundsTest, AJobCheckedOnItsOwnShowsItsCountInTheSelector) {
  server.Serve("/a.html", Page("a", "a"));
  server.Serve("/b.html", Page("b", "b"));
  frmMain& w = StartJob({"a", "b"});
  ASSERT_TRUE(Seen(w, "a"));
  auto* item = dynamic_cast<Gtk::CheckMenuItem*>(w.menu_item(ActionId::AutoCheckJob));
  ASSERT_TRUE(item && !item->get_active());
  item->set_active(true);
  EXPECT_TRUE(MainAutoCheck::JobMarked("Job"));
  w.rounds().auto_check().RunNow();
  ASSERT_TRUE(RunUntil([&] { return w.cboJob().note("Job") == "更新 1"; }, kLoad));
  ASSERT_TRUE(RunUntil([&] { return Place(w) == "1 / 2 · 更新 1"; }, kLoad)) << Place(w);
}

}  // namespace
}  // namespace tarvik::test
