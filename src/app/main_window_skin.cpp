#include "app/main_window_skin.h"

#include <glibmm/main.h>

#include "app/startup_services.h"
#include "platform/app_folder.h"
#include "platform/dialogs.h"
#include "platform/display_text.h"
#include "platform/settings_store.h"
#include "skins/apply_skin.h"
#include "skins/band_tiling.h"
#include "skins/skin_choice.h"
#include "skins/skin_files.h"
#include "skins/skin_state.h"

namespace tarvik {

namespace {

void SetButtonPicture(Gtk::Button& button, const Glib::RefPtr<Gdk::Pixbuf>& picture) {
  if (auto* image = dynamic_cast<Gtk::Image*>(button.get_image())) image->set(picture);
}

}  // namespace

void MainWindowSkin::Connect() {
  for (int i = 0; i < 5; ++i) {
    views_[i].attach(bar_.picBack(i));
    bar_.picBack(i).signal_size_allocate().connect(
        [this, i](Gtk::Allocation& a) { OnBandAllocated(i, a); });
  }
}

void MainWindowSkin::OnBandAllocated(int index, const Gtk::Allocation& a) {
  Gdk::Rectangle& last = allocations_[index];
  // A band that moves shows another part of the bar's pattern, as one that changes size does.
  if (a.get_x() == last.get_x() && a.get_y() == last.get_y() && a.get_width() == last.get_width() &&
      a.get_height() == last.get_height())
    return;
  last = a;
  if (CurrentSkinName().empty() || repaint_.connected()) return;
  // One repaint for all the bands that one layout pass moves.
  repaint_ = Glib::signal_idle().connect(
      [this] {
        if (!CurrentSkinName().empty()) PaintBandBackgrounds(*this);
        return false;
      },
      Glib::PRIORITY_HIGH_IDLE);
}

void MainWindowSkin::Apply() {
  const ApplySkinResult r = ApplySkin(*this);
  if (r.failed()) AppDialogs().MessageBox(&window_, r.message(), r.caption(), MsgIcon::Critical);
}

void MainWindowSkin::RebuildMenu(Gtk::Menu& skin_menu) {
  // The shipped skins are installed after the first page; a menu opened before lists them too.
  FinishDeferredPreparation();
  if (!menu_items_)
    menu_items_ = std::make_unique<SkinMenuItems>(
        skin_menu, [](const std::string& caption) { return MnemonicCaption(caption); },
        [this](int index, const std::string& caption) { Select(index, caption); });
  menu_items_->Rebuild(ListSkinMenuEntries(ApplicationFolder()));
}

void MainWindowSkin::Select(int index, const std::string& caption) {
  const SkinSelection s = SelectSkin(ApplicationFolder(), index, caption);
  if (!s.accepted) {
    AppDialogs().MessageBox(&window_, s.message, s.caption, MsgIcon::Critical);
    return;
  }
  const ApplySkinResult r = ApplyChosenSkin(*this, UserSettings(), ApplicationFolder(), s.name);
  if (r.failed()) AppDialogs().MessageBox(&window_, r.message(), r.caption(), MsgIcon::Critical);
}

void MainWindowSkin::SetPocketPicture(int index, const Glib::RefPtr<Gdk::Pixbuf>& picture) {
  bar_.picPocketImage(index).set(picture);
}

void MainWindowSkin::SetModePicture(const Glib::RefPtr<Gdk::Pixbuf>& picture) {
  if (picture)
    bar_.picModeImage().set(picture);
  else
    bar_.picModeImage().clear();
}

void MainWindowSkin::SetNavButtonPicture(int index, const Glib::RefPtr<Gdk::Pixbuf>& picture) {
  SetButtonPicture(bar_.cmdNav(index), picture);
}

void MainWindowSkin::SetDirButtonPicture(int index, const Glib::RefPtr<Gdk::Pixbuf>& picture) {
  Gtk::Button* buttons[3] = {&bar_.cmdMove(), &bar_.cmdOpFav(), &bar_.cmdSvFav()};
  if (index >= 1 && index <= 3) SetButtonPicture(*buttons[index - 1], picture);
}

void MainWindowSkin::SetCoolBarPicture(const Glib::RefPtr<Gdk::Pixbuf>& picture) {
  bar_.set_picture(picture);
}

BandPlacement MainWindowSkin::BandPicturePlacement(int index) const {
  Gtk::Fixed& band = bar_.picBack(index);
  int x = 0, y = 0;
  // The job bar and the address bar lie at band 4's origin and take its place in the bar.
  bar_.picBack(BandPatternReference(index)).translate_coordinates(bar_, 0, 0, x, y);
  return {x * layout_.tx(), y * layout_.ty(), band.get_allocated_width(),
          band.get_allocated_height()};
}

void MainWindowSkin::SetBandPicture(int index, const Glib::RefPtr<Gdk::Pixbuf>& picture) {
  views_[index].set_picture(picture);
}

}  // namespace tarvik
