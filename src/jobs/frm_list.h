// The job URL list dialog: every entry of the loaded job in two columns, to jump to one of them.
#pragma once

#include <gtkmm/button.h>
#include <gtkmm/dialog.h>
#include <gtkmm/liststore.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/treeview.h>

#include <optional>
#include <string>
#include <vector>

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
};

// Whether the list's type-ahead search text `key` finds the row (title, url): the key occurs in
// either, compared case-folded.
bool ListRowMatches(const std::string& key, const std::string& title, const std::string& url);

// Shows the loaded job `job_name`'s entries over `owner`, with its current one selected: the
// index of the entry chosen, or none.
std::optional<int> ChooseJobEntry(Gtk::Window& owner, const JobCursor& job,
                                  const std::string& job_name);

class frmList : public Gtk::Dialog {
 public:
  frmList(Gtk::Window& owner, ListExchange& exchange);

  // Shows the dialog modally; the answer is in the exchange's ListResultIdx.
  void Run();

  Gtk::TreeView& lsvList() { return lsvList_; }
  Gtk::Button& cmdOK() { return *cmdOK_; }
  Gtk::Button& cmdCancel() { return *cmdCancel_; }
  Glib::RefPtr<Gtk::ListStore> list_model() { return store_; }

 private:
  struct Columns : Gtk::TreeModel::ColumnRecord {
    Gtk::TreeModelColumn<Glib::ustring> title;
    Gtk::TreeModelColumn<Glib::ustring> url;
    Columns() {
      add(title);
      add(url);
    }
  };

  // Builds the rows from the exchange values.
  void FillRows();
  void ShowCurrentRow();
  void Choose();

  ListExchange& exchange_;
  Columns columns_;
  Glib::RefPtr<Gtk::ListStore> store_;
  Gtk::ScrolledWindow scroll_;
  Gtk::TreeView lsvList_;
  Gtk::Button* cmdOK_ = nullptr;
  Gtk::Button* cmdCancel_ = nullptr;
};

}  // namespace tarvik
