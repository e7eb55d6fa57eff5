// The downloads window ("ﾀﾞｳﾝﾛｰﾄﾞ"): every download of the process with its file name, progress,
// speed, time left and state, newest last; the chosen one can be opened, shown in its folder,
// cancelled while it runs, or tried again once it failed or was cancelled. One per process; it
// follows the list (browse/download_list.h) as it changes.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/buttonbox.h>
#include <gtkmm/liststore.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/treeview.h>
#include <gtkmm/window.h>

#include "browse/download_list.h"
#include "platform/downloads.h"

namespace tarvik {

class frmDownloads : public Gtk::Window {
 public:
  static constexpr char kCaption[] = "ﾀﾞｳﾝﾛｰﾄﾞ";

  // `source` may be null (nothing to cancel or retry through).
  frmDownloads(DownloadList& list, DownloadSource* source);

  Gtk::TreeView& lsvDownloads() { return view_; }
  Gtk::Button& cmdOpen() { return open_; }
  Gtk::Button& cmdFolder() { return folder_; }
  Gtk::Button& cmdCancel() { return cancel_; }
  Gtk::Button& cmdRetry() { return retry_; }
  // The row of download `id`, -1 when it is not listed.
  int RowOf(int id);
  // The texts of row `row`: file name, progress, speed, time left, state.
  std::vector<std::string> RowTexts(int row);
  void SelectRow(int row);

 private:
  struct Columns : Gtk::TreeModelColumnRecord {
    Columns() {
      for (auto* c : {&name, &progress_text, &speed, &left, &state}) add(*c);
      add(percent);
      add(id);
    }
    Gtk::TreeModelColumn<Glib::ustring> name, progress_text, speed, left, state;
    Gtk::TreeModelColumn<int> percent;
    Gtk::TreeModelColumn<int> id;
  };

  void Update(int id);
  void UpdateButtons();
  const DownloadItem* Selected();

  DownloadList& list_;
  DownloadSource* source_;
  Columns columns_;
  Glib::RefPtr<Gtk::ListStore> store_;
  Gtk::Box box_{Gtk::ORIENTATION_VERTICAL, 6};
  Gtk::ScrolledWindow scroll_;
  Gtk::TreeView view_;
  Gtk::ButtonBox buttons_{Gtk::ORIENTATION_HORIZONTAL};
  Gtk::Button open_{"開く(_O)", true};
  Gtk::Button folder_{"ﾌｫﾙﾀﾞを開く(_F)", true};
  Gtk::Button cancel_{"ｷｬﾝｾﾙ(_C)", true};
  Gtk::Button retry_{"再試行(_R)", true};
  Gtk::Button close_{"閉じる(_X)", true};
};

}  // namespace tarvik
