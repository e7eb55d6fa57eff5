// Filling long selectors in one pass. Appending items one by one to a combo box that is already
// attached to its model costs more with every item (each one is measured and gets a menu item
// of its own), so a list of tens of thousands of jobs took minutes.
#pragma once

#include <gtkmm/comboboxtext.h>

#include <string>
#include <vector>

namespace tarvik {

// Replaces the items of `combo` with `items`, in order, as remove_all() and one append() per
// item would: afterwards no item is active (a combo that had one reports the change, as
// remove_all() does), and the combo keeps its column layout and has no entry. The new model is
// built detached and attached once. The combo is also set up for long lists: it no longer
// measures every item for its own width, and it drops down as a scrolled list.
void FillComboText(Gtk::ComboBoxText& combo, const std::vector<std::string>& items);

}  // namespace tarvik
