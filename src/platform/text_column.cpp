#include "platform/text_column.h"

#include <gtkmm/cellrenderertext.h>

#include "platform/display_text.h"

namespace tarvik {

void AppendTextColumn(Gtk::TreeView& view, const char* caption, int width, bool expand,
                      std::function<std::string(const Gtk::TreeModel::iterator&)> text) {
  auto* column = Gtk::manage(new Gtk::TreeViewColumn(caption));
  auto* cell = Gtk::manage(new Gtk::CellRendererText);
  column->pack_start(*cell, true);
  column->set_sizing(Gtk::TREE_VIEW_COLUMN_FIXED);
  column->set_fixed_width(width);
  column->set_resizable(true);
  column->set_expand(expand);
  cell->property_ellipsize() = Pango::ELLIPSIZE_END;
  column->set_cell_data_func(*cell, [cell, text = std::move(text)](
                                        Gtk::CellRenderer*, const Gtk::TreeModel::iterator& row) {
    cell->property_text() = ShortenForDisplay(text(row));
  });
  view.append_column(*column);
}

void AppendTextColumn(Gtk::TreeView& view, const char* caption, int width, bool expand,
                      const Gtk::TreeModelColumn<Glib::ustring>& column) {
  AppendTextColumn(view, caption, width, expand, [&column](const Gtk::TreeModel::iterator& row) {
    return Glib::ustring((*row)[column]).raw();
  });
}

}  // namespace tarvik
