// The dialog behind the add-to-job submenu's "ほかのｼﾞｮﾌﾞ...": every job of the list in a job
// selector (list_selector.h), dropped down with its search field as the dialog opens, so any job
// of a list of tens of thousands is found by typing a few letters of its name. Picking a job in
// the drop-down answers the dialog; OK takes the job the selector shows.
#pragma once

#include <gtkmm/button.h>
#include <gtkmm/dialog.h>
#include <gtkmm/label.h>

#include <string>
#include <vector>

#include "platform/list_selector.h"

namespace tarvik {

class frmPickJob : public Gtk::Dialog {
 public:
  static constexpr char kCaption[] = "表示中のページをジョブに追加";

  // `names`: the job list, in its order (an empty line names no job and is left out).
  frmPickJob(Gtk::Window& owner, const std::vector<std::string>& names);

  // Shows the dialog modally: the name of the job picked, or "" when it was cancelled.
  std::string Run();

  // The dialog was answered.
  bool closed() const { return closed_; }
  ListSelector& cboJob() { return selector_; }
  Gtk::Button& cmdOK() { return *ok_; }
  Gtk::Button& cmdCancel() { return *cancel_; }

 protected:
  void on_response(int response_id) override {
    closed_ = true;
    Gtk::Dialog::on_response(response_id);
  }

 private:
  void DropDown();

  std::vector<std::string> names_;
  bool closed_ = false;
  Gtk::Label prompt_;
  ListSelector selector_;
  Gtk::Button* ok_ = nullptr;
  Gtk::Button* cancel_ = nullptr;
};

}  // namespace tarvik
