#include "app/permission_bar.h"

#include <gtkmm/box.h>
#include <gtkmm/dialog.h>

#include "browse/site_permissions.h"

namespace tarvik {

PermissionBar::PermissionBar() {
  set_message_type(Gtk::MESSAGE_QUESTION);
  text_.set_xalign(0);
  text_.set_line_wrap(true);
  if (auto* area = dynamic_cast<Gtk::Box*>(get_content_area())) area->pack_start(text_, true, true);
  allow_ = add_button(kAllowCaption, Gtk::RESPONSE_ACCEPT);
  deny_ = add_button(kDenyCaption, Gtk::RESPONSE_REJECT);
  signal_response().connect([this](int response) { Answer(response == Gtk::RESPONSE_ACCEPT); });
  text_.show();
  set_no_show_all(true);
}

void PermissionBar::Ask(const std::string& text, std::function<void(bool)> answered) {
  questions_.push_back({text, std::move(answered)});
  if (questions_.size() == 1) ShowFirst();
}

void PermissionBar::ShowFirst() {
  if (questions_.empty()) {
    hide();
    return;
  }
  text_.set_text(questions_.front().text);
  allow_->show();
  deny_->show();
  show();
}

void PermissionBar::Answer(bool allow) {
  if (questions_.empty()) return;
  Question question = std::move(questions_.front());
  questions_.pop_front();
  ShowFirst();
  if (question.answered) question.answered(allow);
}

void PermissionBar::Clear() {
  questions_.clear();
  hide();
}

}  // namespace tarvik
