// The GTK message box: which button Enter presses.
#include <atkmm/object.h>
#include <glibmm/main.h>
#include <gtest/gtest.h>
#include <gtkmm/button.h>
#include <gtkmm/filechooserdialog.h>
#include <gtkmm/icontheme.h>
#include <gtkmm/image.h>
#include <gtkmm/messagedialog.h>
#include <gtkmm/window.h>

#include <string>

#include "platform/dialogs.h"
#include "support/gui_input.h"
#include "support/gui_test.h"

namespace tarvik {
namespace {

// When the message box shows, records the label of the focused button and presses the default
// button, as Enter does.
class PressEnterOnTheBox {
 public:
  PressEnterOnTheBox() {
    connection_ = Glib::signal_timeout().connect(
        [this] {
          for (Gtk::Window* w : Gtk::Window::list_toplevels()) {
            auto* box = dynamic_cast<Gtk::MessageDialog*>(w);
            if (!box || !box->get_mapped()) continue;
            if (auto* focused = dynamic_cast<Gtk::Button*>(box->get_focus()))
              focused_label = focused->get_label();
            if (auto* image = dynamic_cast<Gtk::Image*>(box->get_image());
                image && image->get_mapped()) {
              const gchar* name = nullptr;
              gtk_image_get_icon_name(image->gobj(), &name, nullptr);
              icon_name = name ? name : "";
            }
            accessible_name = box->get_accessible()->get_name();
            if (!box->activate_default()) box->response(Gtk::RESPONSE_DELETE_EVENT);
            return false;
          }
          return true;
        },
        20);
  }
  ~PressEnterOnTheBox() { connection_.disconnect(); }
  std::string focused_label;
  std::string icon_name;  // of the picture shown, "" for none
  std::string accessible_name;

 private:
  sigc::connection connection_;
};

TEST(MessageBox, EnterAnswersTheDefaultButton) {
  GtkDialogs dialogs;
  Gtk::Window owner;
  {
    PressEnterOnTheBox enter;
    EXPECT_EQ(dialogs.MessageBox(&owner, "Run?", "確認", MsgIcon::Question, MsgButtons::YesNo,
                                 MsgDefault::Second),
              MsgResult::No);
    EXPECT_EQ(enter.focused_label, "いいえ(_N)");
  }
  {
    PressEnterOnTheBox enter;
    EXPECT_EQ(dialogs.MessageBox(&owner, "Go?", "確認", MsgIcon::Question, MsgButtons::YesNoCancel,
                                 MsgDefault::Third),
              MsgResult::Cancel);
    EXPECT_EQ(enter.focused_label, "キャンセル");
  }
}

// A file dialog opened without a folder started on the recent files, where the first key typed
// went to a widget that was not there yet (a Gtk-CRITICAL on every bookmarks import).
TEST(FileDialog, TypingAPathIntoAnOpenDialogWithoutAFolderIsClean) {
  GtkDialogs dialogs;
  Gtk::Window owner;
  test::TempDir dir;
  const std::string path = dir.file("bookmarks.html");
  test::WriteBytes(path, "<DL></DL>");
  sigc::connection type = Glib::signal_timeout().connect(
      [&] {
        for (Gtk::Window* w : Gtk::Window::list_toplevels()) {
          auto* chooser = dynamic_cast<Gtk::FileChooserDialog*>(w);
          if (!chooser || !chooser->get_mapped()) continue;
          // Keys from the window system, as a user types them.
          test::Pump(300);
          const std::string keys = "xdotool key --delay 20 ctrl+l type --delay 20 '" + path + "'";
          EXPECT_TRUE(g_spawn_command_line_sync(keys.c_str(), nullptr, nullptr, nullptr, nullptr));
          test::Pump(300);
          chooser->response(Gtk::RESPONSE_ACCEPT);
          return false;
        }
        return true;
      },
      20);
  std::optional<std::string> chosen = dialogs.OpenFile(&owner, {.title = "ﾌﾞｯｸﾏｰｸの読み込み"});
  type.disconnect();
  EXPECT_EQ(chosen.value_or(""), path);
}

// Message boxes showed no icon, and assistive technologies announced them as "Warning".
TEST(MessageBox, ShowsTheIconOfItsKindAndIsNamedByItsCaption) {
  GtkDialogs dialogs;
  Gtk::Window owner;
  struct Case {
    MsgIcon icon;
    const char* caption;
    const char* icon_name;
  };
  for (const Case& c : {Case{MsgIcon::Exclamation, "エラー", "dialog-warning"},
                        Case{MsgIcon::Critical, "エラー", "dialog-error"},
                        Case{MsgIcon::Question, "確認", "dialog-question"},
                        Case{MsgIcon::Information, "ﾌﾞｯｸﾏｰｸの読み込み", "dialog-information"}}) {
    PressEnterOnTheBox enter;
    dialogs.MessageBox(&owner, "本文", c.caption, c.icon, MsgButtons::OK);
    EXPECT_EQ(enter.icon_name, c.icon_name);
    EXPECT_TRUE(Gtk::IconTheme::get_default()->has_icon(c.icon_name)) << c.icon_name;
    EXPECT_EQ(enter.accessible_name, c.caption);
  }
}

}  // namespace
}  // namespace tarvik
