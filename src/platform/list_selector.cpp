#include "platform/list_selector.h"

#include <gdk/gdkkeysyms.h>
#include <gtk/gtk.h>
#include <gtkmm/stylecontext.h>

#include <algorithm>

#include "platform/accessible.h"
#include "platform/display_text.h"
#include "platform/search_fold.h"

namespace tarvik {

namespace {

Glib::RefPtr<Gtk::ListStore> TextStore(const std::vector<std::string>& items) {
  // Built before any view sees it, so no view measures or redraws while it grows.
  GtkListStore* store = gtk_list_store_new(1, G_TYPE_STRING);
  for (const std::string& item : items)
    gtk_list_store_insert_with_values(store, nullptr, -1, 0, item.c_str(), -1);
  return Glib::wrap(store);
}

constexpr int kMinListWidth = 200;
constexpr int kMaxListHeight = 420;
constexpr int kMinListHeight = 100;
constexpr int kSearchAndFrame = 80;  // the search field, the popover's arrow and its margins

}  // namespace

ListSelector::ListSelector() : store_(TextStore({})) {
  remove();  // the menu button's own arrow; the face below has one beside the text
  text_.set_ellipsize(Pango::ELLIPSIZE_END);
  text_.set_xalign(0.0f);
  text_.set_hexpand(true);
  arrow_.set_from_icon_name("pan-down-symbolic", Gtk::ICON_SIZE_BUTTON);
  face_.set_spacing(4);
  face_.pack_start(text_, Gtk::PACK_EXPAND_WIDGET);
  face_.pack_start(arrow_, Gtk::PACK_SHRINK);
  add(face_);
  face_.show_all();
  get_style_context()->add_class("tarvik-selector");

  // Fixed row heights and a fixed column let the list lay out any number of rows without
  // measuring them.
  column_.pack_start(cell_, true);
  column_.set_cell_data_func(cell_, [this](Gtk::CellRenderer*, const Gtk::TreeIter& row) {
    Glib::ustring text;
    row->get_value(0, text);
    auto note = notes_.find(text.raw());
    cell_.property_text() = ShortenForDisplay(text.raw(), kListedTitleLimit) +
                            (note == notes_.end() ? "" : "  (" + note->second + ")");
  });
  column_.set_sizing(Gtk::TREE_VIEW_COLUMN_FIXED);
  column_.set_expand(true);
  cell_.property_ellipsize() = Pango::ELLIPSIZE_END;
  list_.append_column(column_);
  list_.set_headers_visible(false);
  list_.set_enable_search(false);
  list_.set_fixed_height_mode(true);
  list_.set_activate_on_single_click(true);
  list_.set_hover_selection(true);
  list_.set_has_tooltip(true);
  list_.signal_query_tooltip().connect(
      [this](int x, int y, bool keyboard, const Glib::RefPtr<Gtk::Tooltip>& tooltip) {
        Gtk::TreeModel::Path path;
        if (!list_.get_tooltip_context_path(x, y, keyboard, path)) return false;
        tooltip->set_text(TipOfShownRow(path));
        list_.set_tooltip_row(tooltip, path);
        return true;
      });
  scroller_.set_policy(Gtk::POLICY_NEVER, Gtk::POLICY_AUTOMATIC);
  scroller_.set_propagate_natural_height(true);
  scroller_.add(list_);
  drop_down_.set_spacing(4);
  drop_down_.set_border_width(4);
  drop_down_.pack_start(search_, Gtk::PACK_SHRINK);
  drop_down_.pack_start(scroller_, Gtk::PACK_EXPAND_WIDGET);
  drop_down_.show_all();
  SetAccessibleName(popover_, kDropDownName);
  SetAccessibleName(search_, kSearchName);
  SetAccessibleName(list_, kDropDownName);
  popover_.add(drop_down_);
  set_popover(popover_);

  popover_.signal_show().connect(sigc::mem_fun(*this, &ListSelector::PrepareDropDown));
  list_.signal_row_activated().connect(
      [this](const Gtk::TreePath& path, Gtk::TreeViewColumn*) { PickShownRow(path); });
  list_.signal_key_press_event().connect(sigc::mem_fun(*this, &ListSelector::OnListKey), false);
  search_.signal_search_changed().connect(sigc::mem_fun(*this, &ListSelector::FilterBySearch));
  search_.signal_activate().connect(sigc::mem_fun(*this, &ListSelector::PickFromSearch));
  search_.signal_stop_search().connect([this] { popover_.hide(); });
  search_.signal_key_press_event().connect(sigc::mem_fun(*this, &ListSelector::OnSearchKey), false);
}

void ListSelector::Fill(const std::vector<std::string>& items) {
  set_active(-1);
  store_changed_.disconnect();
  store_ = TextStore(items);
  store_changed_ =
      store_->signal_row_changed().connect([this](const Gtk::TreePath& path, const Gtk::TreeIter&) {
        folded_.clear();
        if (!path.empty() && path[0] == active_) ShowActiveText();
      });
  folded_.clear();
  matches_.reset();
  if (popover_.get_visible())
    PrepareDropDown();
  else
    list_.unset_model();  // the drop-down takes the items when it opens
}

int ListSelector::item_count() const { return static_cast<int>(store_->children().size()); }

void ListSelector::set_active(int index) {
  if (index < -1 || index >= item_count()) index = -1;
  if (index == active_) return;
  active_ = index;
  ShowActiveText();
  signal_changed_.emit();
}

void ListSelector::set_note(const std::string& item, const std::string& note) {
  auto it = notes_.find(item);
  if (note.empty() ? it == notes_.end() : it != notes_.end() && it->second == note) return;
  if (note.empty())
    notes_.erase(it);
  else
    notes_[item] = note;
  list_.queue_draw();
}

std::string ListSelector::note(const std::string& item) const {
  auto it = notes_.find(item);
  return it == notes_.end() ? "" : it->second;
}

Glib::ustring ListSelector::get_active_text() const {
  if (active_ < 0 || active_ >= item_count()) return {};
  Glib::ustring text;
  store_->children()[active_]->get_value(0, text);
  return text;
}

bool ListSelector::shows_text_whole() const {
  return !pango_layout_is_ellipsized(const_cast<Gtk::Label&>(text_).get_layout()->gobj());
}

void ListSelector::ShowActiveText() { text_.set_text(get_active_text()); }

void ListSelector::PrepareDropDown() {
  // As wide as the selector, and as tall as the window leaves room for, above or below it.
  int top = 0;
  int left = 0;
  Gtk::Widget* window = get_toplevel();
  if (window && translate_coordinates(*window, 0, 0, left, top)) {
    const int below = window->get_allocated_height() - top - get_allocated_height();
    const int room = std::max(below, top) - kSearchAndFrame;
    scroller_.set_max_content_height(std::clamp(room, kMinListHeight, kMaxListHeight));
  }
  scroller_.set_size_request(std::max(get_allocated_width(), kMinListWidth), -1);

  matches_.reset();
  search_.set_text("");
  list_.set_model(store_);
  if (!CursorOnActive()) {
    list_.get_selection()->unselect_all();
    list_.scroll_to_point(0, 0);
  }
  search_.grab_focus();
}

bool ListSelector::CursorOnActive() {
  if (active_ < 0) return false;
  Gtk::TreePath path;
  path.push_back(active_);
  list_.set_cursor(path);
  list_.scroll_to_row(path, 0.5f);
  return true;
}

void ListSelector::FilterBySearch() {
  const Glib::ustring search = search_.get_text();
  if (search.empty()) {
    if (!matches_) return;
    matches_.reset();
    list_.set_model(store_);
    CursorOnActive();
    return;
  }
  if (folded_.empty()) {
    folded_.reserve(store_->children().size());
    for (const auto& row : store_->children()) {
      Glib::ustring text;
      row.get_value(0, text);
      folded_.push_back(SearchFolded(text.raw()));
    }
  }
  search_words_ = SearchWords(search.raw());
  // A new filter for each search: refiltering one that a view shows would report every row
  // that comes and goes to the view, one at a time.
  matches_ = Gtk::TreeModelFilter::create(store_);
  matches_->set_visible_func([this](const Gtk::TreeModel::const_iterator& row) {
    const int index = store_->get_path(row)[0];
    return index < static_cast<int>(folded_.size()) && MatchesSearch(folded_[index], search_words_);
  });
  list_.set_model(matches_);
  if (!matches_->children().empty()) {
    list_.set_cursor(Gtk::TreePath("0"));
    list_.scroll_to_point(0, 0);
  }
}

int ListSelector::ItemOfShownRow(const Gtk::TreePath& path) const {
  const Gtk::TreePath item = matches_ ? matches_->convert_path_to_child_path(path) : path;
  return item.empty() ? -1 : item[0];
}

std::string ListSelector::TipOfShownRow(const Gtk::TreePath& path) const {
  const int index = ItemOfShownRow(path);
  if (index < 0 || index >= item_count()) return {};
  Glib::ustring text;
  store_->children()[index]->get_value(0, text);
  return ShortenForDisplay(text.raw());
}

void ListSelector::PickShownRow(const Gtk::TreePath& path) {
  const int index = ItemOfShownRow(path);
  if (index < 0) return;
  // The drop-down closes first: what the change sets off may open a message box.
  popover_.hide();
  set_active(index);
}

void ListSelector::PickFromSearch() {
  Gtk::TreePath path;
  Gtk::TreeViewColumn* column = nullptr;
  list_.get_cursor(path, column);
  if (!path.empty()) PickShownRow(path);
}

bool ListSelector::OnSearchKey(GdkEventKey* event) {
  if (event->keyval != GDK_KEY_Down && event->keyval != GDK_KEY_KP_Down &&
      event->keyval != GDK_KEY_Page_Down)
    return false;
  list_.grab_focus();
  return true;
}

bool ListSelector::OnListKey(GdkEventKey* event) {
  // Typing over the list goes on with the search.
  if (event->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) return false;
  const gunichar c = gdk_keyval_to_unicode(event->keyval);
  const bool types =
      (c != 0 && g_unichar_isprint(c) && c != ' ') || event->keyval == GDK_KEY_BackSpace;
  if (!types) return false;
  search_.grab_focus_without_selecting();
  return search_.handle_event(event);
}

bool ListSelector::on_key_press_event(GdkEventKey* event) {
  const unsigned mods = event->state & gtk_accelerator_get_default_mod_mask();
  const unsigned key = event->keyval;
  if ((mods == GDK_MOD1_MASK && (key == GDK_KEY_Down || key == GDK_KEY_KP_Down)) ||
      (mods == 0 && key == GDK_KEY_F4)) {
    Gtk::ToggleButton::set_active(true);  // drops the list down
    return true;
  }
  // Up and Down step through the items without dropping the list down, as a combo box does.
  if (mods == 0 && (key == GDK_KEY_Down || key == GDK_KEY_KP_Down)) {
    if (active_ + 1 < item_count()) set_active(active_ + 1);
    return true;
  }
  if (mods == 0 && (key == GDK_KEY_Up || key == GDK_KEY_KP_Up)) {
    if (active_ > 0) set_active(active_ - 1);
    return true;
  }
  return Gtk::MenuButton::on_key_press_event(event);
}

}  // namespace tarvik
