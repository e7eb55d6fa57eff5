// The bar that asks the user about a page's question for leave (to show notifications, to know
// the location): the site and what it asks, "許可" and "拒否". Questions that come while one is
// shown wait their turn. Shown above the status bar while a question is open.
#pragma once

#include <gtkmm/button.h>
#include <gtkmm/infobar.h>
#include <gtkmm/label.h>

#include <deque>
#include <functional>
#include <string>

namespace tarvik {

class PermissionBar : public Gtk::InfoBar {
 public:
  PermissionBar();

  // Shows `text` and calls `answered` with the user's answer. A question that is cleared
  // unanswered goes without a call: its holder refuses it when the call goes.
  void Ask(const std::string& text, std::function<void(bool)> answered);
  // Takes every question away unanswered (the page has gone).
  void Clear();
  // How many questions are open, the one shown included.
  int open_questions() const { return static_cast<int>(questions_.size()); }

  Gtk::Label& lblQuestion() { return text_; }
  Gtk::Button& cmdAllow() { return *allow_; }
  Gtk::Button& cmdDeny() { return *deny_; }

 private:
  struct Question {
    std::string text;
    std::function<void(bool)> answered;
  };
  void ShowFirst();
  void Answer(bool allow);

  Gtk::Label text_;
  Gtk::Button* allow_ = nullptr;
  Gtk::Button* deny_ = nullptr;
  std::deque<Question> questions_;
};

}  // namespace tarvik
