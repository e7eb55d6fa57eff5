#include "platform/list_fill.h"

#include <gtk/gtk.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/liststore.h>
#include <gtkmm/stylecontext.h>

#include <vector>

namespace tarvik {

namespace {

constexpr char kLongListQuark[] = "tarvik-long-list";

// A menu makes a widget per item and sizes them against each other; a list draws only the rows
// in sight. The combo's own view would otherwise measure every item to find the widest.
void SetUpForLongLists(Gtk::ComboBoxText& combo) {
  GObject* object = G_OBJECT(combo.gobj());
  if (g_object_get_data(object, kLongListQuark)) return;
  g_object_set_data(object, kLongListQuark, GINT_TO_POINTER(1));
  auto css = Gtk::CssProvider::create();
  css->load_from_data("combobox { -GtkComboBox-appears-as-list: true; }");
  combo.get_style_context()->add_provider(css, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  // The combo reads its appearance when its style is updated, which would otherwise wait for
  // the main loop: the model set below would still get a menu of its own.
  g_signal_emit_by_name(object, "style-updated");
  GtkWidget* child = gtk_bin_get_child(GTK_BIN(combo.gobj()));
  if (GTK_IS_CELL_VIEW(child)) gtk_cell_view_set_fit_model(GTK_CELL_VIEW(child), FALSE);
}

}  // namespace

void FillComboText(Gtk::ComboBoxText& combo, const std::vector<std::string>& items) {
  SetUpForLongLists(combo);
  // The new store has the columns of the old one: the text column and the id column of a
  // combo box with text.
  GtkTreeModel* old_model = gtk_combo_box_get_model(GTK_COMBO_BOX(combo.gobj()));
  std::vector<GType> types;
  if (old_model) {
    for (int i = 0; i < gtk_tree_model_get_n_columns(old_model); ++i)
      types.push_back(gtk_tree_model_get_column_type(old_model, i));
  } else {
    types = {G_TYPE_STRING, G_TYPE_STRING};
  }
  GtkListStore* store = gtk_list_store_newv(static_cast<gint>(types.size()), types.data());
  const int text_column = gtk_combo_box_get_entry_text_column(GTK_COMBO_BOX(combo.gobj()));
  for (const std::string& item : items)
    gtk_list_store_insert_with_values(store, nullptr, -1, text_column, item.c_str(), -1);

  // Leaving the old items reports the change that remove_all() reports; the new model then
  // comes with nothing active.
  if (combo.get_active_row_number() != -1) combo.set_active(-1);
  gtk_combo_box_set_model(GTK_COMBO_BOX(combo.gobj()), GTK_TREE_MODEL(store));
  g_object_unref(store);
}

}  // namespace tarvik
