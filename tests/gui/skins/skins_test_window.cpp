#include "skins_test_window.h"

#include <gdkmm/general.h>

namespace tarvik::test {

bool BarBox::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
  if (picture) {
    Gdk::Cairo::set_source_pixbuf(cr, picture, 0, 0);
    Cairo::RefPtr<Cairo::SurfacePattern>::cast_static(cr->get_source())
        ->set_extend(Cairo::EXTEND_REPEAT);
  } else {
    cr->set_source_rgb(1, 0, 1);  // the designed look: plain magenta
  }
  cr->paint();
  return Gtk::Fixed::on_draw(cr);
}

SkinsTestWindow::SkinsTestWindow() {
  set_default_size(kBarWidth + 200, kBarHeight + 100);
  auto* root = Gtk::make_managed<Gtk::Fixed>();
  add(*root);
  bar.set_size_request(kBarWidth, kBarHeight);
  root->put(bar, 0, 0);
  for (int i = 0; i < 5; ++i) {
    Band& band = bands[static_cast<std::size_t>(i)];
    const Place& p = kBands[static_cast<std::size_t>(i)];
    band.box.set_size_request(p.width, p.height);
    // The designed look first, so the view's picture lies over it.
    band.box.signal_draw().connect(
        [](const Cairo::RefPtr<Cairo::Context>& cr) {
          cr->set_source_rgb(1, 0, 1);
          cr->paint();
          return false;
        },
        false);
    band.view.attach(band.box);
    // The job bar and the address bar lie at the origin of band 4's picture.
    (i < 3 ? bar : bands[2].box).put(band.box, p.left, p.top);
  }
  int x = 0;
  for (auto& image : toolbar_images) root->put(image, x += 40, kBarHeight + 10);
  x = 0;
  for (auto& image : pocket_images) root->put(image, x += 40, kBarHeight + 50);
  root->put(mode_image, 200, kBarHeight + 50);
  for (auto& image : nav_images) root->put(image, x += 30, kBarHeight + 80);
  for (auto& image : dir_images) root->put(image, x += 50, kBarHeight + 80);
  show_all();
  bands[4].box.hide();  // direct mode is not showing
}

void SkinsTestWindow::ShowToolbarImages() {
  for (int i = 0; i < 5; ++i)
    toolbar_images[static_cast<std::size_t>(i)].set(toolbar_list.get(i + 1));
}

void SkinsTestWindow::SetPocketPicture(int index, const Glib::RefPtr<Gdk::Pixbuf>& picture) {
  pocket_images[static_cast<std::size_t>(index)].set(picture);
}

void SkinsTestWindow::SetModePicture(const Glib::RefPtr<Gdk::Pixbuf>& picture) {
  ++mode_pictures_set;
  if (picture)
    mode_image.set(picture);
  else
    mode_image.clear();
}

void SkinsTestWindow::SetNavButtonPicture(int index, const Glib::RefPtr<Gdk::Pixbuf>& picture) {
  nav_images[static_cast<std::size_t>(index)].set(picture);
}

void SkinsTestWindow::SetDirButtonPicture(int index, const Glib::RefPtr<Gdk::Pixbuf>& picture) {
  dir_images[static_cast<std::size_t>(index - 1)].set(picture);
}

void SkinsTestWindow::SetCoolBarPicture(const Glib::RefPtr<Gdk::Pixbuf>& picture) {
  bar.picture = picture;
  bar.queue_draw();
}

BandPlacement SkinsTestWindow::BandPicturePlacement(int index) const {
  const Place& p = kBands[static_cast<std::size_t>(index)];
  return {p.left * kTwips, p.top * kTwips, p.width, p.height};
}

void SkinsTestWindow::SetBandPicture(int index, const Glib::RefPtr<Gdk::Pixbuf>& picture) {
  Band& band = bands[static_cast<std::size_t>(index)];
  band.view.set_picture(picture);
  ++band.pictures_set;
}

}  // namespace tarvik::test
