// The run-time items of the skin submenu: one per entry of the Skins folder, rebuilt each time the
// Settings menu opens so that folders added or removed meanwhile are picked up.
#pragma once

#include <gtkmm/menu.h>
#include <gtkmm/menuitem.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tarvik {

class SkinMenuItems {
 public:
  // `label` turns a caption into the item's label (the window's access-key form); `choose` is
  // called with the item's index (1 and up) and its caption when the user picks it.
  SkinMenuItems(Gtk::Menu& menu, std::function<std::string(const std::string&)> label,
                std::function<void(int, const std::string&)> choose);
  ~SkinMenuItems();
  SkinMenuItems(const SkinMenuItems&) = delete;
  SkinMenuItems& operator=(const SkinMenuItems&) = delete;

  // Removes the items made last time and appends one per caption, after the menu's own items.
  void Rebuild(const std::vector<std::string>& captions);

  // n: the number of run-time items.
  int count() const { return static_cast<int>(items_.size()); }
  // The caption of item `index` (1 to count()); empty outside.
  std::string caption(int index) const;
  Gtk::MenuItem* item(int index);

 private:
  void Clear();

  Gtk::Menu& menu_;
  std::function<std::string(const std::string&)> label_;
  std::function<void(int, const std::string&)> choose_;
  std::vector<std::unique_ptr<Gtk::MenuItem>> items_;
  std::vector<std::string> captions_;
};

}  // namespace tarvik
