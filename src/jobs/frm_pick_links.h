// The dialog that turns a list of links into the entries of a new job: each link with a check box
// (all checked at first), a filter box that narrows the list as the user types, "すべて選択" and
// "選択解除" for the links the filter shows, and the count of checked links. OK takes the checked
// links in their order; it refuses when none is checked.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/dialog.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/liststore.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/treemodelfilter.h>
#include <gtkmm/treeview.h>

#include <optional>
#include <string>
#include <vector>

#include "jobs/job_files.h"

namespace tarvik {

class frmPickLinks : public Gtk::Dialog {
 public:
  static constexpr char kCaption[] = "ﾘﾝｸからｼﾞｮﾌﾞを作成";
  static constexpr char kNothingChecked[] = "ジョブに入れるリンクが一つも選択されていません。";

  frmPickLinks(Gtk::Window& owner, std::vector<JobEntry> links);

  // Shows the dialog modally: the checked links, or nothing when it was cancelled.
  std::optional<std::vector<JobEntry>> Run();

  // The checked links, in their order.
  std::vector<JobEntry> Checked() const;
  int checked_count() const { return checked_count_; }
  // The links the filter shows, by their place in the list.
  std::vector<int> ShownLinks() const;
  void SetChecked(int link, bool checked);
  // The dialog was closed with an answer that ends it.
  bool closed() const { return closed_; }

  Gtk::Entry& txtFilter() { return filter_; }
  Gtk::TreeView& lsvLinks() { return view_; }
  Gtk::Button& cmdSelectAll() { return select_all_; }
  Gtk::Button& cmdClearAll() { return clear_all_; }
  Gtk::Button& cmdOK() { return *ok_; }
  Gtk::Button& cmdCancel() { return *cancel_; }
  Gtk::Label& lblCount() { return count_; }

 protected:
  void on_response(int response_id) override;

 private:
  struct Columns : Gtk::TreeModel::ColumnRecord {
    Gtk::TreeModelColumn<int> link;  // place in links_
    Columns() { add(link); }
  };

  void BuildList();
  void CheckShown(bool checked);
  void ShowCount();
  int LinkOf(const Gtk::TreeModel::iterator& row) const;

  std::vector<JobEntry> links_;
  std::vector<std::string> keys_;  // FilterKey of each link
  std::vector<char> checked_;
  int checked_count_ = 0;
  std::vector<std::string> words_;  // the filter's words
  bool closed_ = false;

  Columns columns_;
  Glib::RefPtr<Gtk::ListStore> store_;
  Glib::RefPtr<Gtk::TreeModelFilter> shown_;
  Gtk::Label prompt_;
  Gtk::Entry filter_;
  Gtk::ScrolledWindow scroll_;
  Gtk::TreeView view_;
  Gtk::Box row_{Gtk::ORIENTATION_HORIZONTAL};
  Gtk::Button select_all_;
  Gtk::Button clear_all_;
  Gtk::Label count_;
  Gtk::Button* ok_ = nullptr;
  Gtk::Button* cancel_ = nullptr;
};

}  // namespace tarvik
