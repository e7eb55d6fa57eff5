#include "skins/band_picture_view.h"

#include <gdkmm/general.h>

namespace tarvik {

void BandPictureView::attach(Gtk::Widget& band) {
  detach();
  band_ = &band;
  draw_ = band.signal_draw().connect(
      [this](const Cairo::RefPtr<Cairo::Context>& cr) {
        if (picture_) {
          Gdk::Cairo::set_source_pixbuf(cr, picture_, 0, 0);
          cr->paint();
        }
        return false;  // the widget and its children draw on top
      },
      false);
}

void BandPictureView::detach() {
  draw_.disconnect();
  band_ = nullptr;
}

void BandPictureView::set_picture(const Glib::RefPtr<Gdk::Pixbuf>& picture) {
  picture_ = picture;
  if (band_) band_->queue_draw();
}

}  // namespace tarvik
