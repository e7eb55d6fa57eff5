// Jobs from lists of links: a file of addresses through the pick dialog, and several links pasted
// or dropped into the job editor.
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
    d.cmdOK().clicked();  // refused: nothing is checked
    EXPECT_FALSE(d.closed());
    EXPECT_EQ(dialogs_.shown.back().text, frmPickLinks::kNothingChecked);
    d.txtFilter().set_text("GUIDE");
    d.cmdSelectAll().clicked();  // only what the filter shows
    d.txtFilter().set_text("b.example");
    d.cmdSelectAll().clicked();
    EXPECT_EQ(d.lblCount().get_text(), "3 件中 2 件を選択");
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
