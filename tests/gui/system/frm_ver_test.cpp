#include "system/frm_ver.h"

#include <glibmm/convert.h>
#include <glibmm/fileutils.h>
#include <glibmm/main.h>
#include <gtest/gtest.h>
#include <gtkmm/settings.h>

#include "support/fake_browser.h"
#include "support/gui_input.h"
#include "support/gui_test.h"
#include "support/scripted_dialogs.h"
#include "system/mod_relation.h"
#include "system/system_commands.h"

namespace tarvik {
namespace {

using test::PressKey;
using test::Pump;
using test::RunUntil;

TEST(FrmVerTest, ShowsTheVersionOverItsPicture) {
  frmVer dialog(nullptr);
  dialog.show();
  ASSERT_TRUE(RunUntil(
      [&] { return dialog.get_mapped() && dialog.client_area().get_allocated_width() > 1; }));

  EXPECT_EQ(dialog.get_title(), "ﾊﾞｰｼﾞｮﾝ情報");
  EXPECT_FALSE(dialog.get_resizable());
  EXPECT_EQ(dialog.get_type_hint(), Gdk::WINDOW_TYPE_HINT_UTILITY);  // a tool window
  EXPECT_EQ(dialog.client_area().get_allocated_width(), 250);
  EXPECT_EQ(dialog.client_area().get_allocated_height(), 180);
  int w = 0, h = 0;
  dialog.get_size(w, h);
  EXPECT_EQ(w, 250);
  EXPECT_EQ(h, 180);

  EXPECT_EQ(dialog.labVer().get_text(), "ver.1.22");
  EXPECT_EQ(dialog.Label1().get_text(), "ジョブ管理型Webブラウザ");
  EXPECT_EQ(dialog.Label2().get_text(), "Tarvik");
  EXPECT_FALSE(dialog.Label3().get_text().empty());

  // Labels sit at their design positions within the picture.
  struct Row {
    const char* name;
    Gtk::Label& label;
    int x, y;
  };
  const Row rows[] = {{"Label1", dialog.Label1(), 9, 7},
                      {"Label2", dialog.Label2(), 55, 36},
                      {"labVer", dialog.labVer(), 106, 79},
                      {"Label3", dialog.Label3(), 39, 139}};
  for (const Row& r : rows) {
    int x = 0, y = 0;
    ASSERT_TRUE(r.label.translate_coordinates(dialog.client_area(), 0, 0, x, y)) << r.name;
    EXPECT_EQ(x, r.x) << r.name;
    EXPECT_EQ(y, r.y) << r.name;
    EXPECT_LE(x + r.label.get_allocated_width(), 250 + 10) << r.name << " fits the picture";
  }

  // The keyboard reaches the window through its focused picture; Escape closes it.
  EXPECT_TRUE(dialog.client_area().is_focus());
  PressKey(dialog, GDK_KEY_Escape);
  EXPECT_TRUE(RunUntil([&] { return !dialog.get_visible(); }));
  dialog.show();
  ASSERT_TRUE(RunUntil([&] { return dialog.get_mapped(); }));
  dialog.close();  // the close box
  EXPECT_TRUE(RunUntil([&] { return !dialog.get_visible(); }));
}

// Large text (twice the usual font resolution) keeps every text inside the fixed picture.
TEST(FrmVerTest, LargeTextStaysInsideThePicture) {
  auto gtk = Gtk::Settings::get_default();
  const int saved_dpi = gtk->property_gtk_xft_dpi();
  gtk->property_gtk_xft_dpi() = 2 * 96 * 1024;
  {
    frmVer dialog(nullptr);
    dialog.show();
    ASSERT_TRUE(RunUntil([&] { return dialog.get_mapped(); }));
    Pump(100);
    for (Gtk::Label* label :
         {&dialog.Label1(), &dialog.Label2(), &dialog.labVer(), &dialog.Label3()}) {
      int x = 0, y = 0, width = 0, height = 0;
      label->translate_coordinates(dialog.client_area(), 0, 0, x, y);
      label->get_layout()->get_pixel_size(width, height);
      EXPECT_LE(x + width, frmVer::kClientWidth) << label->get_text();
      EXPECT_LE(y + height, frmVer::kClientHeight) << label->get_text();
    }
  }
  gtk->property_gtk_xft_dpi() = saved_dpi;
}

TEST(FrmVerTest, VersionCommandIsModalAndReturnsWhenClosed) {
  Gtk::Window owner;
  owner.show();
  Pump();
  bool seen_modal = false;
  Gtk::Window* seen_owner = nullptr;
  auto closer = Glib::signal_timeout().connect(
      [&] {
        for (Gtk::Window* w : Gtk::Window::list_toplevels()) {
          if (w->get_title() == "ﾊﾞｰｼﾞｮﾝ情報" && w->get_mapped()) {
            seen_modal = w->get_modal();
            seen_owner = w->get_transient_for();
            w->close();
            return false;
          }
        }
        return true;
      },
      50);
  mnuVer_Click(&owner);  // returns only once the dialog is closed
  closer.disconnect();
  EXPECT_TRUE(seen_modal);
  EXPECT_EQ(seen_owner, &owner);
}

TEST(SystemCommandsTest, AuthorPageNavigatesTheWindowsBrowserToTheManualsAboutSection) {
  test::TempDir dir;
  const char* old = g_getenv("TARVIK_HOME");
  const std::string saved = old ? old : "";
  g_setenv("TARVIK_HOME", dir.path().c_str(), TRUE);
  test::FakeBrowser browser;
  mnuAuthorPage_Click(browser);
  const std::string uri = Glib::filename_to_uri(dir.file("Tarvik.html")) + "#about";
  EXPECT_EQ(browser.calls, std::vector<std::string>{"Navigate:" + uri});
  EXPECT_TRUE(Glib::file_test(dir.file("Tarvik.html"), Glib::FILE_TEST_IS_REGULAR));
  if (old)
    g_setenv("TARVIK_HOME", saved.c_str(), TRUE);
  else
    g_unsetenv("TARVIK_HOME");
}

TEST(SystemCommandsTest, DefaultBrowserAsksThroughTheDialogs) {
  test::TempDir dir;
  KeyFileClassRegistry store(dir.file("classes.ini"));
  ASSERT_TRUE(store.Write(".htm", "", "htmlfile"));
  SetClassesRoot(&store);
  test::ScriptedDialogs dialogs;

  dialogs.AnswerMessage(MsgResult::No);
  mnuDefBro_Click(nullptr);
  EXPECT_EQ(RegReadString(store, "htmlfile\\shell", ""), "");

  dialogs.AnswerMessage(MsgResult::Yes);
  mnuDefBro_Click(nullptr);
  EXPECT_EQ(RegReadString(store, "htmlfile\\shell", ""), "OpenWithTarvik");
  EXPECT_EQ(RegReadString(store, "http\\shell", ""), "OpenWithTarvik");

  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[0].caption, "確認");
  EXPECT_EQ(dialogs.shown[0].icon, MsgIcon::Question);
  EXPECT_EQ(dialogs.shown[0].buttons, MsgButtons::YesNo);
  SetClassesRoot(nullptr);
}

}  // namespace
}  // namespace tarvik
