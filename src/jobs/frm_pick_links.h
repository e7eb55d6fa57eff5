// The dialog that turns a list of links into the entries of a new job: each link with a check box
// (all checked at first), a filter box that narrows the list as the user types, "すべて選択" and
// "選択解除" for the links the filter shows, and the count of checked links. OK takes the checked
// links in their order; it refuses when none is checked. With a filter typed, OK takes only the
// checked links the filter shows, and the count says how many are shown and how many of those
// are checked.
//
// The filter goes through the list a slice at a time while the main loop goes on, so typing in
// it stays quick with hundreds of thousands of links; each key starts it afresh, and what it
// finds is shown once it has gone through every link.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/dialog.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/treeview.h>

#include <optional>
#include <string>
#include <vector>

#include "jobs/job_files.h"
#include "jobs/link_list.h"

namespace tarvik {

class frmPickLinks : public Gtk::Dialog {
 public:
  static constexpr char kCaption[] = "ﾘﾝｸからｼﾞｮﾌﾞを作成";
  static constexpr char kNothingChecked[] = "ジョブに入れるリンクが一つも選択されていません。";

  frmPickLinks(Gtk::Window& owner, std::vector<JobEntry> links);
  // `list` from MakePickList (link_list.h).
  frmPickLinks(Gtk::Window& owner, PickList list);
  ~frmPickLinks() override { filtering_.disconnect(); }

  // Shows the dialog modally: the checked links, or nothing when it was cancelled.
  std::optional<std::vector<JobEntry>> Run();

  // The checked links that the filter shows (all of them while it is empty), in their order.
  std::vector<JobEntry> Checked();
  int checked_count() const { return checked_count_; }
  // The links the filter shows, by their place in the list.
  std::vector<int> ShownLinks();
  void SetChecked(int link, bool checked);
  // The filter is still going through the links for the text last typed.
  bool filtering() const { return filtering_.connected(); }
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
  // The filter's text changed: the links are gone through afresh for it.
  void StartFilter();
  // Goes through the next slice of links; true while some are left.
  bool FilterSlice();
  // Goes through what is left at once: the answer to the dialog waits for it.
  void FinishFilter();
  void ShowFiltered();

  std::vector<JobEntry> links_;
  std::vector<std::string> keys_;  // FilterKey of each link
  std::vector<char> checked_;
  int checked_count_ = 0;
  std::vector<std::string> words_;  // the words of the filter shown
  std::vector<char> shown_;         // per link: the filter shows it
  std::vector<int> shown_links_;
  int shown_checked_ = 0;  // checked links among those shown
  bool closed_ = false;
  // The filter under way: its words, how far it got and what it found so far.
  std::vector<std::string> next_words_;
  size_t next_at_ = 0;
  std::vector<char> next_shown_;
  std::vector<int> next_links_;
  sigc::connection filtering_;

  Columns columns_;
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
