// The text columns of the lists of addresses (the job editor, the job's list, the links a new
// job keeps): a long text shows its beginning, and the columns have fixed widths the user may
// change, which spare the view measuring every row of a list of tens of thousands.
#pragma once

#include <gtkmm/treeview.h>

#include <functional>
#include <string>

namespace tarvik {

// Appends a column headed `caption`, `width` pixels wide (taking the room left when `expand`),
// whose cells show the beginning of what `text` gives for their row (ShortenForDisplay).
void AppendTextColumn(Gtk::TreeView& view, const char* caption, int width, bool expand,
                      std::function<std::string(const Gtk::TreeModel::iterator&)> text);
// ... showing the texts of the model's `column`.
void AppendTextColumn(Gtk::TreeView& view, const char* caption, int width, bool expand,
                      const Gtk::TreeModelColumn<Glib::ustring>& column);

}  // namespace tarvik
