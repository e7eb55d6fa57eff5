// The job editor: a modal dialog over the main window in which the user picks one job, edits its
// entries on a working copy and saves them, and renames or deletes whole jobs (those two act on
// the files at once).
//
// The opener sets SpcfIdx, calls Form_Load() and then run(); tests may show the dialog without
// run() and drive its controls directly.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/dialog.h>
#include <gtkmm/entry.h>
#include <gtkmm/grid.h>
#include <gtkmm/label.h>
#include <gtkmm/liststore.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/separator.h>
#include <gtkmm/treeview.h>

#include <optional>
#include <string>
#include <vector>

#include "jobs/job_editing.h"
#include "jobs/job_files.h"
#include "platform/list_selector.h"

namespace tarvik {

class BrowserControl;

class frmEditJob : public Gtk::Dialog {
 public:
  static constexpr char kCaption[] = "ジョブの編集";

  // `owner` is the main window that opens the editor (may be null); `first_window_browser` is
  // the browser of the process's first main window, whose page cmdCurVw takes (may be null).
  frmEditJob(Gtk::Window* owner, BrowserControl* first_window_browser,
             const std::string& jobs_folder);

  // The job to preselect, -1 for none. Set before Form_Load().
  int SpcfIdx = -1;

  // Dialog load: fills the job selector and loads the preselected job.
  void Form_Load();

  // ---- State ----------------------------------------------------------------------------------
  int EditJobIdx() const { return edit_job_idx_; }
  const std::vector<JobEntry>& EditEntries() const { return edit_entries_; }
  int EditLastIdx() const { return static_cast<int>(edit_entries_.size()) - 1; }
  bool CanClose() const { return can_close_; }
  const std::string& RenameOldName() const { return rename_old_name_; }
  const std::string& RenameNewName() const { return rename_new_name_; }
  // The dialog was closed by OK, Cancel or its close control.
  bool closed() const { return closed_; }

  // ---- Operations -----------------------------------------------------------------------------
  void LoadEditorJobList(int index);
  void LoadEditorJob();
  void FillEntryList();
  // The save step of cmdRefresh and cmdOK; sets CanClose. Entries that another window or
  // process added to the job's file since the editor read it are kept: they are appended after
  // the editor's own, in the list too, before the job is written.
  void SaveEditorJob();

  // A drop onto `target` (lsvURL, txtTitle or txtURL) of the data extracted from the drag.
  // Ignored while no job is selected or when the data names nothing.
  void Drop(Gtk::Widget& target, const std::optional<DroppedEntry>& dropped);
  // Several links at once, pasted (Ctrl+V in the list) or dropped on the list: added after the
  // selected row (at the end when none is), the last of them selected. Ignored while no job is
  // selected; refused whole, with a message, when the job would hold too many.
  void InsertLinks(const std::vector<JobEntry>& links);
  // Ctrl+V in the list: the links of the text on the clipboard (link_list.h).
  void PasteLinks();

  // ---- Controls -------------------------------------------------------------------------------
  ListSelector& cboJob() { return cboJob_; }
  Gtk::TreeView& lsvURL() { return lsvURL_; }
  Gtk::Entry& txtTitle() { return txtTitle_; }
  Gtk::Entry& txtURL() { return txtURL_; }
  Gtk::CheckButton& chkClear() { return chkClear_; }
  Gtk::Button& cmdAdd() { return cmdAdd_; }
  Gtk::Button& cmdChange() { return cmdChange_; }
  Gtk::Button& cmdDel() { return cmdDel_; }
  Gtk::Button& cmdUp() { return cmdUp_; }
  Gtk::Button& cmdDown() { return cmdDown_; }
  Gtk::Button& cmdCurVw() { return cmdCurVw_; }
  Gtk::Button& cmdFav() { return cmdFav_; }
  Gtk::Button& cmdName() { return cmdName_; }
  Gtk::Button& cmdKillJob() { return cmdKillJob_; }
  Gtk::Button& cmdRefresh() { return cmdRefresh_; }
  Gtk::Button& cmdOK() { return cmdOK_; }
  Gtk::Button& cmdCancel() { return cmdCancel_; }
  // The four captions: "編集対象ジョブ", "URLリスト", "タイトル", "URL".
  Gtk::Label& Label(int i) { return Label_[i]; }

  // The rows of lsvURL as (title, URL) pairs, and the selected row (-1 for none).
  std::vector<JobEntry> Rows() const;
  int SelectedRow() const;
  Glib::RefPtr<Gtk::ListStore> list_model() { return rows_; }

 protected:
  void on_response(int response_id) override;

 private:
  struct Columns : Gtk::TreeModelColumnRecord {
    Columns() {
      add(title);
      add(url);
    }
    Gtk::TreeModelColumn<Glib::ustring> title;
    Gtk::TreeModelColumn<Glib::ustring> url;
  };

  void BuildControls();
  void SetUpDrops();
  void SetRowButtons(bool enabled);
  void SetJobButtons(bool enabled);
  void ClearEntries();
  void AppendEntry(const JobEntry& entry);
  void SetRow(const Gtk::TreeModel::iterator& row, const JobEntry& entry);
  Gtk::TreeModel::iterator RowAt(int p);
  void SelectRowQuietly(int p);
  bool JobSelected() const;
  std::string SelectedJobName() const;
  // The job selected, when its file exists; when it does not, the user is told and nothing comes.
  std::optional<std::string> SelectedJobWithFile();
  std::vector<std::string> SelectorItems() const;
  void RenameSelectorItem(int index, const std::string& name);
  bool RoomForAnotherEntry();
  Gtk::Window* MessageParent();

  // Handlers.
  void cboJob_Click();
  void lsvURL_ItemClick();
  void cmdAdd_Click();
  void cmdChange_Click();
  void cmdDel_Click();
  void cmdUp_Click();
  void cmdDown_Click();
  void cmdCurVw_Click();
  void cmdFav_Click();
  void cmdName_Click();
  void cmdKillJob_Click();
  void cmdRefresh_Click();
  void cmdOK_Click();
  void cmdCancel_Click();
  void MoveSelectedRow(int delta);

  Gtk::Window* owner_;
  BrowserControl* first_window_browser_;
  std::string jobs_folder_;

  int edit_job_idx_ = -1;
  std::vector<JobEntry> edit_entries_;  // EditLastIdx is its size - 1
  // The job's entries as the editor last read or wrote its file, as the file stores them: what
  // the file holds beyond these and the editor's list at a save was added elsewhere meanwhile.
  std::vector<JobEntry> read_entries_;
  bool can_close_ = true;
  std::string rename_old_name_;
  std::string rename_new_name_;
  bool closed_ = false;
  bool quiet_selection_ = false;  // the program, not the user, is changing the row selection

  Columns columns_;
  Glib::RefPtr<Gtk::ListStore> rows_;

  Gtk::Grid grid_;
  Gtk::Label Label_[4];
  ListSelector cboJob_;
  Gtk::Box job_row_{Gtk::ORIENTATION_HORIZONTAL};  // label, selector and the two job commands
  Gtk::Button cmdName_;
  Gtk::Button cmdKillJob_;
  Gtk::ScrolledWindow lsv_scroll_;
  Gtk::TreeView lsvURL_;
  Gtk::Box move_buttons_{Gtk::ORIENTATION_VERTICAL};
  Gtk::Button cmdUp_;
  Gtk::Button cmdDown_;
  Gtk::Entry txtTitle_;
  Gtk::Entry txtURL_;
  Gtk::Button cmdCurVw_;
  Gtk::Button cmdFav_;
  Gtk::CheckButton chkClear_;
  Gtk::Box entry_buttons_{Gtk::ORIENTATION_HORIZONTAL};
  Gtk::Button cmdAdd_;
  Gtk::Button cmdChange_;
  Gtk::Button cmdDel_;
  Gtk::Separator rule_;
  Gtk::Box dialog_buttons_{Gtk::ORIENTATION_HORIZONTAL};
  Gtk::Button cmdRefresh_;
  Gtk::Button cmdOK_;
  Gtk::Button cmdCancel_;
};

}  // namespace tarvik
