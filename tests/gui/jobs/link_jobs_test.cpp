// Jobs from lists of links: a file of addresses through the pick dialog, and several links pasted
// or dropped into the job editor.
#include <glibmm/main.h>
#include <gtkmm/clipboard.h>
#include <gtkmm/dialog.h>
#include <gtkmm/progressbar.h>

#include <atomic>

#include "job_editor_fixture.h"
#include "jobs/frm_pick_links.h"
#include "jobs/link_jobs.h"
#include "jobs/work_progress.h"
#include "platform/accessible.h"
#include "support/gui_input.h"
#include "support/when_shown.h"

namespace tarvik {
namespace {

using namespace jobeditor_test;
using test::WhenShown;

TEST_F(JobEditorTest, AFileOfAddressesBecomesAJobOfTheLinksPicked) {
  WriteJobs({{"A", kNews}});
  const std::string path = favorites_.file("links.md");
  WriteBytes(path,
             "# 資料\n[Guide](https://a.example/guide)\n[Tour](https://a.example/tour)\n"
             "Also https://b.example/ and mailto:x@example.com\n");
  dialogs_.AnswerFile(path);
  dialogs_.AnswerInput("読み込んだ");
  WhenShown<frmPickLinks> pick([&](frmPickLinks& d) {
    EXPECT_EQ(d.lblCount().get_text(), "3 件中 3 件を選択");
    EXPECT_EQ(AccessibleName(d.txtFilter()), "絞り込み");
    EXPECT_EQ(d.cmdCancel().get_label(), "キャンセル");
    d.cmdClearAll().clicked();
    const size_t told = dialogs_.shown.size();
    d.cmdOK().clicked();  // refused: nothing is checked, said once the click has returned
    EXPECT_FALSE(d.closed());
    EXPECT_EQ(dialogs_.shown.size(), told);
    ASSERT_TRUE(test::RunUntil([&] { return dialogs_.shown.size() == told + 1; }));
    EXPECT_EQ(dialogs_.shown.back().text, frmPickLinks::kNothingChecked);
    d.txtFilter().set_text("GUIDE");
    d.cmdSelectAll().clicked();  // only what the filter shows
    d.txtFilter().set_text("");
    d.txtFilter().set_text("b.example");
    d.cmdSelectAll().clicked();
    d.txtFilter().set_text("");
    ASSERT_TRUE(test::RunUntil([&] { return d.lblCount().get_text() == "3 件中 2 件を選択"; }));
    d.txtFilter().activate();  // Enter accepts
  });
  EXPECT_EQ(JobFromUrlList(host_), "読み込んだ");
  EXPECT_EQ(pick.opened, 1);
  EXPECT_EQ(dialogs_.shown.front().kind, "open");
  EXPECT_EQ(OnDisk("読み込んだ"), (Entries{{"Guide", "https://a.example/guide"},
                                           {"https://b.example/", "https://b.example/"}}));
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"A", "読み込んだ"}));

  // A file without any address says so; cancelling the dialog makes nothing.
  WriteBytes(path, "no addresses here\n");
  dialogs_.AnswerFile(path);
  EXPECT_EQ(JobFromUrlList(host_), "");
  EXPECT_EQ(dialogs_.shown.back().text, "ファイル「" + path + "」にはURLが一つもありません。");
  WriteBytes(path, "https://c.example/\n");
  dialogs_.AnswerFile(path);
  WhenShown<frmPickLinks> cancel([](frmPickLinks& d) { d.cmdCancel().clicked(); });
  EXPECT_EQ(JobFromUrlList(host_), "");
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"A", "読み込んだ"}));
}

// OK took every checked link, those the filter hid too, and the count said nothing of what the
// filter shows.
TEST_F(JobEditorTest, WithAFilterTypedOnlyTheCheckedLinksItShowsAreTaken) {
  WriteJobs({{"A", kNews}});
  const std::string path = favorites_.file("links.txt");
  WriteBytes(path,
             "https://a.example/guide https://a.example/tour\n"
             "https://b.example/ https://b.example/2\n");
  dialogs_.AnswerFile(path);
  dialogs_.AnswerInput("絞った");
  WhenShown<frmPickLinks> pick([&](frmPickLinks& d) {
    d.SetChecked(1, false);  // the tour
    EXPECT_EQ(d.lblCount().get_text(), "4 件中 3 件を選択");
    d.txtFilter().set_text("tour");
    ASSERT_TRUE(
        test::RunUntil([&] { return d.lblCount().get_text() == "表示 1 件中 0 件を選択"; }));
    const size_t told = dialogs_.shown.size();
    d.cmdOK().clicked();  // refused: the checked links are all hidden
    EXPECT_FALSE(d.closed());
    ASSERT_TRUE(test::RunUntil([&] { return dialogs_.shown.size() == told + 1; }));
    EXPECT_EQ(dialogs_.shown.back().text, frmPickLinks::kNothingChecked);
    d.txtFilter().set_text("A.EXAMPLE");
    ASSERT_TRUE(
        test::RunUntil([&] { return d.lblCount().get_text() == "表示 2 件中 1 件を選択"; }));
    d.txtFilter().activate();
  });
  EXPECT_EQ(JobFromUrlList(host_), "絞った");
  EXPECT_EQ(pick.opened, 1);
  EXPECT_EQ(OnDisk("絞った"), (Entries{{"https://a.example/guide", "https://a.example/guide"}}));
}

// A list of tens of megabytes froze the window while it was read, and again at each key of the
// filter. It is read off the main loop behind a progress window whose "キャンセル" stops it, and
// the filter goes through the links while the main loop goes on.
TEST_F(JobEditorTest, ALargeListIsReadAndFilteredWhileTheWindowGoesOnAnswering) {
  WriteJobs({{"A", kNews}});
  const std::string path = favorites_.file("large.md");
  std::string text;
  int lines = 0, sevens = 0;
  for (; text.size() < (size_t{20} << 20); ++lines) {
    const std::string n = std::to_string(lines);
    text += "- [記事 " + n + " の見出し](https://site.example/articles/" + n + "?from=list)\n";
    if (n.find('7') != std::string::npos) ++sevens;
  }
  WriteBytes(path, text);
  text.clear();
  int turns = 0;  // of the main loop
  sigc::connection ticks = Glib::signal_timeout().connect(
      [&turns] {
        ++turns;
        return true;
      },
      20);
  int turns_read = -1;
  dialogs_.AnswerFile(path);
  WhenShown<frmPickLinks> pick([&](frmPickLinks& d) {
    turns_read = turns;
    EXPECT_EQ(d.lblCount().get_text(),
              std::to_string(lines) + " 件中 " + std::to_string(lines) + " 件を選択");
    d.txtFilter().set_text("7");
    EXPECT_TRUE(d.filtering()) << "the key waited for the filter";
    const std::string found =
        "表示 " + std::to_string(sevens) + " 件中 " + std::to_string(sevens) + " 件を選択";
    ASSERT_TRUE(test::RunUntil([&] { return d.lblCount().get_text() == found; }, 60000));
    d.cmdCancel().clicked();
  });
  EXPECT_EQ(JobFromUrlList(host_), "");
  EXPECT_EQ(pick.opened, 1);
  EXPECT_GT(turns_read, 3) << "the main loop waited for the reading";

  // The progress window's キャンセル stops the reading: no pick dialog, no message, no job.
  int progress_shown = 0;
  sigc::connection stop = Glib::signal_timeout().connect(
      [&progress_shown] {
        for (Gtk::Window* w : Gtk::Window::list_toplevels()) {
          auto* dialog = dynamic_cast<Gtk::Dialog*>(w);
          if (!dialog || dynamic_cast<frmPickLinks*>(w) || !dialog->get_visible() ||
              dialog->get_title() != kJobFromUrlListTitle)
            continue;
          ++progress_shown;
          dialog->response(Gtk::RESPONSE_CANCEL);
          return false;
        }
        return true;
      },
      10);
  WhenShown<frmPickLinks> unexpected([](frmPickLinks& d) { d.cmdCancel().clicked(); });
  const size_t messages = dialogs_.shown.size();
  dialogs_.AnswerFile(path);
  EXPECT_EQ(JobFromUrlList(host_), "");
  EXPECT_EQ(unexpected.opened, 0);
  stop.disconnect();
  ticks.disconnect();
  EXPECT_EQ(progress_shown, 1);
  EXPECT_EQ(pick.opened, 1);
  EXPECT_EQ(dialogs_.shown.size(), messages + 1) << "the file dialog, and no message";
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"A"}));
}

TEST_F(JobEditorTest, SeveralLinksPastedOrDroppedGoAfterTheSelectedRow) {
  WriteJobs({{"News", kNews}});
  auto e = Open(0);
  SelectRow(*e, 0);
  Gtk::Clipboard::get()->set_text("読んで: https://p.example/1 と [二つ目](https://p.example/2)。");
  e->lsvURL().grab_focus();
  test::PressKey(*e, GDK_KEY_v, GDK_CONTROL_MASK);
  ASSERT_TRUE(test::RunUntil([&] { return e->Rows().size() == kNews.size() + 2; }, 3000));

  const std::string shortcut = favorites_.file("Docs.example.url");
  WriteBytes(shortcut, "[InternetShortcut]\r\nURL=https://docs.example/\r\n");
  DropOnto(e->lsvURL(), "text/uri-list",
           FileUri(shortcut) + "\r\nhttps://dragged.example/\r\nmailto:x@example.com\r\n");
  // One link is the designed drop: appended at the end as it comes.
  DropOnto(e->lsvURL(), "text/plain", "https://single.example/");

  Entries expected = {kNews[0],
                      {"https://p.example/1", "https://p.example/1"},
                      {"二つ目", "https://p.example/2"},
                      {"Docs", "https://docs.example/"},
                      {"https://dragged.example/", "https://dragged.example/"}};
  expected.insert(expected.end(), kNews.begin() + 1, kNews.end());
  expected.push_back({"https://single.example/", "https://single.example/"});
  EXPECT_EQ(e->Rows(), expected);
  EXPECT_EQ(e->EditEntries(), expected);
  Save(*e);
  EXPECT_EQ(OnDisk("News"), expected);
}

// The progress window's bar was read as a bare bar: it carries the name of the work.
TEST_F(JobEditorTest, TheProgressBarIsNamedAfterTheWork) {
  std::atomic<bool> seen{false};
  std::string name;
  Glib::signal_timeout().connect(
      [&] {
        for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
          auto* dialog = dynamic_cast<Gtk::Dialog*>(window);
          if (!dialog || !dialog->get_visible()) continue;
          for (Gtk::Widget* child : dialog->get_content_area()->get_children())
            if (auto* bar = dynamic_cast<Gtk::ProgressBar*>(child)) name = AccessibleName(*bar);
        }
        if (name.empty()) return true;
        seen = true;
        return false;
      },
      20);
  RunWithProgress(host_.window, "ブックマークの読み込み", [&](WorkProgress&) {
    for (int i = 0; i < 1000 && !seen; ++i) g_usleep(10000);  // until the window has been seen
  });
  EXPECT_EQ(name, "ブックマークの読み込み");
}

}  // namespace
}  // namespace tarvik
