// Filling combo boxes in one pass, on real widgets.
#include <gtest/gtest.h>
#include <gtkmm/window.h>

#include <string>
#include <vector>

#include "platform/list_fill.h"
#include "support/gui_test.h"

namespace tarvik {
namespace {

using test::Pump;

std::vector<std::string> Items(Gtk::ComboBoxText& combo) {
  std::vector<std::string> items;
  for (const auto& row : combo.get_model()->children()) {
    Glib::ustring text;
    row.get_value(0, text);
    items.push_back(text.raw());
  }
  return items;
}

TEST(FillComboText, LargeJobListFillsTheSelectorInOrderWithNothingActive) {
  Gtk::Window window;
  Gtk::ComboBoxText combo;
  window.add(combo);
  window.show_all();
  Pump(50);
  std::vector<std::string> names;
  for (int i = 0; i < 40000; ++i) names.push_back("ジョブ " + std::to_string(i));
  int changes = 0;
  combo.signal_changed().connect([&] { ++changes; });

  FillComboText(combo, names);
  Pump(50);
  EXPECT_EQ(Items(combo), names);
  EXPECT_EQ(combo.get_active_row_number(), -1);
  EXPECT_EQ(changes, 0);  // nothing was active, so nothing changed
  EXPECT_FALSE(combo.get_has_entry());

  combo.set_active(39999);
  EXPECT_EQ(combo.get_active_text(), "ジョブ 39999");
  EXPECT_EQ(changes, 1);
  combo.set_active(20000);
  EXPECT_EQ(combo.get_active_text(), "ジョブ 20000");

  // Refilling leaves nothing active and says so, as remove_all() does.
  FillComboText(combo, {"A", "B"});
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(combo.get_active_row_number(), -1);
  EXPECT_EQ(Items(combo), (std::vector<std::string>{"A", "B"}));
}

TEST(FillComboText, TheComboStillWorksAsAComboWithText) {
  Gtk::ComboBoxText combo;
  FillComboText(combo, {"News", "Sport"});
  // The text combo's own calls work on the new model.
  combo.append("Weather");
  combo.prepend("First");
  combo.set_active(2);
  EXPECT_EQ(combo.get_active_text(), "Sport");
  EXPECT_EQ(Items(combo), (std::vector<std::string>{"First", "News", "Sport", "Weather"}));
  combo.remove_all();
  EXPECT_TRUE(Items(combo).empty());
  EXPECT_EQ(combo.get_active_row_number(), -1);

  FillComboText(combo, {});
  EXPECT_TRUE(Items(combo).empty());
  EXPECT_EQ(combo.get_active_row_number(), -1);
}

TEST(FillComboText, ComboWithAnEntryKeepsItsColumns) {
  Gtk::ComboBoxText combo(true);
  combo.append("id-a", "A");
  FillComboText(combo, {"x", "y"});
  EXPECT_TRUE(combo.get_has_entry());
  EXPECT_EQ(combo.get_model()->get_n_columns(), 2);
  combo.set_active(1);
  EXPECT_EQ(combo.get_active_text(), "y");
  EXPECT_EQ(combo.get_entry_text(), "y");
}

}  // namespace
}  // namespace tarvik
