// The job URL list dialog: every entry of the loaded job in two columns, to jump to one of them.
#pragma once

#include <gtkmm/button.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/dialog.h>
#include <gtkmm/liststore.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/treemodelfilter.h>
#include <gtkmm/treeview.h>

#include <optional>
#include <string>
#include <vector>

#include "jobs/round_view.h"

namespace tarvik {

class JobCursor;

// What the main window hands to the dialog and gets back from it.
struct ListExchange {
  std::string ListJobName{};
  int ListLastIdx = -1;
  std::vector<std::string> ListTitles{};
  std::vector<std::string> ListURLs{};
  int ListResultIdx = -1;   // the chosen entry, -1 for none
  int ListCurrentIdx = -1;  // the entry shown now: selected and scrolled into view at opening
  // A round's marks, by entry; empty or shorter than the job for entries without one.
  std::vector<RoundMark> ListMarks{};
};

// Whether the list's type-ahead search text `key` finds the row (title, url): the key occurs in
// either, compared case-folded.
bool ListRowMatches(const std::string& key, const std::string& title, const std::string& url);

// Shows the loaded job `job_name`'s entries over `owner`, with its current one selected and the
// round's `marks` before the titles: the index of the entry chosen, or none.
std::optional<int> ChooseJobEntry(Gtk::Window& owner, const JobCursor& job,
                                  const std::string& job_name, std::vector<RoundMark> marks = {});

class frmList : public Gtk::Dialog {
 public:
  frmList(Gtk::Window& owner, ListExchange& exchange);

  // Shows the dialog modally; the answer is in the exchange's ListResultIdx.
  void Run();

  Gtk::TreeView& lsvList() { return lsvList_; }
  Gtk::Button& cmdOK() { return *cmdOK_; }
  Gtk::Button& cmdCancel() { return *cmdCancel_; }
  // Shown while some entry carries a round's mark: the list keeps only the marked entries.
  Gtk::CheckButton& chkOnlyUpdated() { return chkOnlyUpdated_; }
  // The rows as the list shows them (only the marked ones while chkOnlyUpdated is on).
  Glib::RefPtr<Gtk::TreeModel> list_model() { return filter_; }

 private:
  struct Columns : Gtk::TreeModel::ColumnRecord {
    Gtk::TreeModelColumn<Glib::ustring> title;
    Gtk::TreeModelColumn<Glib::ustring> url;
    Gtk::TreeModelColumn<int> mark;  // a RoundMark
    Gtk::TreeModelColumn<int> entry;
    Columns() {
      add(title);
      add(url);
      add(mark);
      add(entry);
    }
  };

  // Builds the rows from the exchange values.
  void FillRows();
  void ShowCurrentRow();
  void Choose();

  ListExchange& exchange_;
  Columns columns_;
  Glib::RefPtr<Gtk::ListStore> store_;
  Glib::RefPtr<Gtk::TreeModelFilter> filter_;
  Gtk::Button* cmdOK_ = nullptr;
  Gtk::Button* cmdCancel_ = nullptr;
  Gtk::ScrolledWindow scroll_;
  Gtk::TreeView lsvList_;
  Gtk::CheckButton chkOnlyUpdated_;
};

}  // namespace tarvik
