// The drop-down selector for long lists, on real widgets.
#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>
#include <gtkmm/window.h>

#include <string>
#include <vector>

#include "platform/list_selector.h"
#include "support/gui_input.h"
#include "support/gui_test.h"

namespace tarvik {
namespace {

using test::Pump;
using test::RunUntil;

std::vector<std::string> Items(ListSelector& selector) {
  std::vector<std::string> items;
  for (const auto& row : selector.get_model()->children()) {
    Glib::ustring text;
    row.get_value(0, text);
    items.push_back(text.raw());
  }
  return items;
}

std::vector<std::string> ManyJobs() {
  std::vector<std::string> names;
  for (int i = 0; i < 40000; ++i) names.push_back("Job " + std::to_string(i));
  return names;
}

TEST(ListSelector, FillsAndSelectsAsTheComboBoxItReplaces) {
  Gtk::Window window;
  ListSelector selector;
  window.add(selector);
  window.show_all();
  Pump(50);
  int changes = 0;
  selector.signal_changed().connect([&] { ++changes; });

  const std::vector<std::string> names = ManyJobs();
  selector.Fill(names);
  Pump(50);
  EXPECT_EQ(Items(selector), names);
  EXPECT_EQ(selector.get_active_row_number(), -1);
  EXPECT_EQ(changes, 0);  // nothing was active, so nothing changed

  selector.set_active(39999);
  EXPECT_EQ(selector.get_active_text(), "Job 39999");
  EXPECT_EQ(selector.shown_text(), "Job 39999");
  EXPECT_EQ(changes, 1);
  selector.set_active(39999);
  EXPECT_EQ(changes, 1);  // the same item again is no change

  // An item renamed in place is shown under its new name.
  selector.get_model()->children()[39999]->set_value(0, Glib::ustring("Renamed"));
  EXPECT_EQ(selector.shown_text(), "Renamed");

  // Refilling leaves nothing active and says so.
  selector.Fill({"A", "B"});
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(selector.get_active_row_number(), -1);
  EXPECT_EQ(selector.shown_text(), "");
  EXPECT_EQ(Items(selector), (std::vector<std::string>{"A", "B"}));
}

// Typing in the drop-down narrows the list to the items that hold the text, whatever its letter
// case or width; Enter picks the first of them and closes the drop-down.
TEST(ListSelector, TypingFindsAnItemAndEnterPicksIt) {
  Gtk::Window window;
  ListSelector selector;
  window.add(selector);
  window.show_all();
  selector.Fill(ManyJobs());
  selector.set_active(5);
  int changes = 0;
  selector.signal_changed().connect([&] { ++changes; });

  selector.clicked();
  ASSERT_TRUE(RunUntil([&] { return selector.popup().get_mapped(); }));
  Gtk::TreeView& list = selector.popup_list();
  Gtk::TreePath cursor;
  Gtk::TreeViewColumn* column = nullptr;
  list.get_cursor(cursor, column);
  EXPECT_EQ(cursor.to_string(), "5");  // the list opens on the active item
  EXPECT_TRUE(selector.popup_search().is_focus());

  // Every word typed, in any order: Job 3999, 13999, 23999, 33999 and 39990 to 39999.
  selector.popup_search().set_text("3999 ｊＯＢ");
  ASSERT_TRUE(RunUntil([&] { return list.get_model()->children().size() == 14; }));
  // A long name is shown shortened in its row, and whole in the row's tooltip.
  const std::string long_name = "Job 39990 " + std::string(200, 'x');
  selector.get_model()->children()[39990]->set_value(0, Glib::ustring(long_name));
  Gtk::TreeViewColumn& shown = *list.get_column(0);
  shown.cell_set_cell_data(list.get_model(), list.get_model()->children()[4], false, false);
  auto* cell = static_cast<Gtk::CellRendererText*>(shown.get_first_cell());
  EXPECT_EQ(cell->property_text().get_value().raw(), long_name.substr(0, 79) + "…");
  EXPECT_EQ(selector.TipOfShownRow(Gtk::TreePath("4")), long_name);
  test::PressKey(window, GDK_KEY_Return);  // the popover's window takes the key, as from X
  EXPECT_TRUE(RunUntil([&] { return !selector.popup().get_visible(); }));
  EXPECT_EQ(selector.get_active_text(), "Job 3999");
  EXPECT_EQ(changes, 1);
}

}  // namespace
}  // namespace tarvik
