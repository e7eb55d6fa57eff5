#include "jobs/frm_pick_job.h"

#include <glibmm/main.h>

namespace tarvik {

frmPickJob::frmPickJob(Gtk::Window& owner, const std::vector<std::string>& names)
    : Gtk::Dialog(kCaption, owner, true) {
  for (const std::string& name : names)
    if (!name.empty()) names_.push_back(name);
  set_default_size(420, 480);
  auto* box = get_content_area();
  box->set_border_width(6);
  box->set_spacing(6);
  prompt_.set_text("ページを追加するジョブを選んでください。");
  prompt_.set_xalign(0);
  box->pack_start(prompt_, Gtk::PACK_SHRINK);
  selector_.Fill(names_);
  selector_.set_tooltip_text("ページを追加するジョブ");
  // A popover is drawn inside its window: the margins leave room for the drop-down's frame.
  selector_.set_margin_start(24);
  selector_.set_margin_end(24);
  box->pack_start(selector_, Gtk::PACK_SHRINK);
  // A job picked in the drop-down, by a click or Enter, is the answer (stepping through the jobs
  // with Up and Down on the closed selector is not).
  auto answer_picked = [this] {
    if (selector_.get_active_row_number() >= 0) response(Gtk::RESPONSE_OK);
  };
  selector_.popup_list().signal_row_activated().connect(
      [answer_picked](const Gtk::TreePath&, Gtk::TreeViewColumn*) { answer_picked(); });
  selector_.popup_search().signal_activate().connect(answer_picked);
  ok_ = add_button("OK", Gtk::RESPONSE_OK);
  cancel_ = add_button("ｷｬﾝｾﾙ", Gtk::RESPONSE_CANCEL);
  set_default_response(Gtk::RESPONSE_OK);
  set_response_sensitive(Gtk::RESPONSE_OK, false);
  selector_.signal_changed().connect(
      [this] { set_response_sensitive(Gtk::RESPONSE_OK, selector_.get_active_row_number() >= 0); });
  show_all_children();
  // The drop-down opens with the dialog, its search field ready for the first letters.
  signal_map().connect([this] {
    // Once the dialog is on screen; the dialog may have gone by then.
    Glib::signal_idle().connect_once(sigc::mem_fun(*this, &frmPickJob::DropDown));
  });
}

void frmPickJob::DropDown() {
  if (get_mapped()) selector_.Gtk::ToggleButton::set_active(true);
}

std::string frmPickJob::Run() {
  const int answer = run();
  hide();
  const int picked = selector_.get_active_row_number();
  if (answer != Gtk::RESPONSE_OK || picked < 0) return "";
  return names_[picked];
}

}  // namespace tarvik
