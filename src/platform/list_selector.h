// A drop-down selector for lists of any length: the job selectors. A combo box drops down a menu
// with a widget per item, sized against each other; past about 1,500 items that menu is taller
// than the window system allows and the program ends. This selector drops down a popover with a
// search field and a scrolled list that draws only the rows in sight, so tens of thousands of
// items fill at once and open at once.
//
// It works as the combo box with text it replaces: one text column, an active item by index (-1
// for none), and "changed" whenever the active item changes, by the user or by set_active().
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/liststore.h>
#include <gtkmm/menubutton.h>
#include <gtkmm/popover.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/searchentry.h>
#include <gtkmm/treemodelfilter.h>
#include <gtkmm/treeview.h>

#include <map>
#include <string>
#include <vector>

namespace tarvik {

class ListSelector : public Gtk::MenuButton {
 public:
  ListSelector();
  // What a screen reader reads for the drop-down (its list too) and its search field.
  static constexpr char kDropDownName[] = "ジョブの一覧";
  static constexpr char kSearchName[] = "ジョブの検索";

  // Replaces the items with `items`, in order; afterwards no item is active (a selector that had
  // one reports the change).
  void Fill(const std::vector<std::string>& items);

  int get_active_row_number() const { return active_; }
  // Makes item `index` active (-1: none); reports "changed" only when the active item changes.
  void set_active(int index);
  Glib::ustring get_active_text() const;
  Glib::ustring shown_text() const { return text_.get_text(); }  // what the selector's face shows
  // Whether the face shows that text whole, not cut short for want of room.
  bool shows_text_whole() const;
  // The face keeps room for at least `chars` characters of the active item.
  void set_width_chars(int chars) { text_.set_width_chars(chars); }
  // The items, text in column 0. An item's text may be changed in place; the shown text follows.
  Glib::RefPtr<Gtk::ListStore> get_model() const { return store_; }
  int item_count() const;
  // A short note shown after an item's text in the drop-down's list ("更新 3"); "" takes it away.
  void set_note(const std::string& item, const std::string& note);
  std::string note(const std::string& item) const;
  sigc::signal<void()>& signal_changed() { return signal_changed_; }

  // The drop-down: the search field over the list of the items that match it.
  Gtk::Popover& popup() { return popover_; }
  Gtk::SearchEntry& popup_search() { return search_; }
  Gtk::TreeView& popup_list() { return list_; }
  // The tooltip of a row of the drop-down's list as shown: its item's whole text (a long one is
  // shown shortened in the row).
  std::string TipOfShownRow(const Gtk::TreePath& path) const;

 protected:
  bool on_key_press_event(GdkEventKey* event) override;

 private:
  void ShowActiveText();
  void PrepareDropDown();
  void FilterBySearch();
  // Puts the list's cursor on the active item, in the middle of the list; false when none is.
  bool CursorOnActive();
  // The item of a row of the list as shown (all items, or those that match the search).
  int ItemOfShownRow(const Gtk::TreePath& path) const;
  void PickShownRow(const Gtk::TreePath& path);
  void PickFromSearch();
  bool OnListKey(GdkEventKey* event);
  bool OnSearchKey(GdkEventKey* event);

  Glib::RefPtr<Gtk::ListStore> store_;
  Glib::RefPtr<Gtk::TreeModelFilter> matches_;  // set while the search field holds text
  std::vector<std::string> folded_;             // the items folded for the search, made lazily
  std::vector<std::string> search_words_;       // the words typed in the search field
  sigc::connection store_changed_;
  int active_ = -1;
  std::map<std::string, std::string> notes_;  // by item text
  sigc::signal<void()> signal_changed_;

  Gtk::Box face_{Gtk::ORIENTATION_HORIZONTAL};
  Gtk::Label text_;
  Gtk::Image arrow_;
  Gtk::Popover popover_;
  Gtk::Box drop_down_{Gtk::ORIENTATION_VERTICAL};
  Gtk::SearchEntry search_;
  Gtk::ScrolledWindow scroller_;
  Gtk::TreeView list_;
  Gtk::TreeViewColumn column_;
  Gtk::CellRendererText cell_;
};

}  // namespace tarvik
