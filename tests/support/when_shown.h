// Drives a modal dialog of type D from inside its own run loop: once a visible D appears, `drive`
// gets it. A dialog that `drive` leaves open fails the test and is cancelled.
#pragma once

#include <glibmm/main.h>
#include <gtest/gtest.h>
#include <gtkmm/dialog.h>
#include <gtkmm/window.h>

#include <functional>

namespace tarvik::test {

template <typename D>
class WhenShown {
 public:
  explicit WhenShown(std::function<void(D&)> drive) : drive_(std::move(drive)) {
    connection_ = Glib::signal_timeout().connect(
        [this] {
          for (Gtk::Window* w : Gtk::Window::list_toplevels()) {
            auto* dialog = dynamic_cast<D*>(w);
            if (!dialog || !dialog->get_visible()) continue;
            ++opened;
            drive_(*dialog);
            if (!dialog->closed()) {
              ADD_FAILURE() << "the dialog was left open";
              dialog->response(Gtk::RESPONSE_CANCEL);
            }
            return false;
          }
          return true;
        },
        10);
  }
  ~WhenShown() { connection_.disconnect(); }
  int opened = 0;

 private:
  std::function<void(D&)> drive_;
  sigc::connection connection_;
};

}  // namespace tarvik::test
