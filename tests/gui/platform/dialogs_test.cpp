// The GTK message box: which button Enter presses.
#include <glibmm/main.h>
#include <gtest/gtest.h>
#include <gtkmm/button.h>
#include <gtkmm/messagedialog.h>
#include <gtkmm/window.h>

#include <string>

#include "platform/dialogs.h"
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
            if (!box->activate_default()) box->response(Gtk::RESPONSE_DELETE_EVENT);
            return false;
          }
          return true;
        },
        20);
  }
  ~PressEnterOnTheBox() { connection_.disconnect(); }
  std::string focused_label;

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
    EXPECT_EQ(enter.focused_label, "ｷｬﾝｾﾙ");
  }
}

}  // namespace
}  // namespace tarvik
