#include "skins/skin_menu.h"

#include <utility>

namespace tarvik {

SkinMenuItems::SkinMenuItems(Gtk::Menu& menu, std::function<std::string(const std::string&)> label,
                             std::function<void(int, const std::string&)> choose)
    : menu_(menu), label_(std::move(label)), choose_(std::move(choose)) {}

SkinMenuItems::~SkinMenuItems() { Clear(); }

void SkinMenuItems::Clear() {
  for (auto& item : items_) menu_.remove(*item);
  items_.clear();
  captions_.clear();
}

void SkinMenuItems::Rebuild(const std::vector<std::string>& captions) {
  Clear();
  for (const std::string& text : captions) {
    const std::string label = label_ ? label_(text) : text;
    auto item = std::make_unique<Gtk::MenuItem>(label, true);
    const int index = static_cast<int>(items_.size()) + 1;
    // The caption is taken from the list, not from the item, so that the access-key form never
    // changes the name of the folder that is chosen.
    item->signal_activate().connect([this, index] {
      if (choose_) choose_(index, this->caption(index));
    });
    item->show();
    menu_.append(*item);
    items_.push_back(std::move(item));
    captions_.push_back(text);
  }
}

std::string SkinMenuItems::caption(int index) const {
  if (index < 1 || index > count()) return {};
  return captions_[static_cast<std::size_t>(index - 1)];
}

Gtk::MenuItem* SkinMenuItems::item(int index) {
  if (index < 1 || index > count()) return nullptr;
  return items_[static_cast<std::size_t>(index - 1)].get();
}

}  // namespace tarvik
