// Writes every built-in picture onto one PNG contact sheet, four times enlarged (pixel for pixel)
// and at its real size beside it, so that the drawings can be judged by eye.
//
//   render_image_sheet [out.png]
#include <cairomm/context.h>
#include <cairomm/surface.h>
#include <gdkmm/general.h>
#include <gdkmm/pixbuf.h>
#include <gtkmm/main.h>
#include <pangomm/layout.h>

#include <iostream>
#include <string>
#include <vector>

#include "platform/builtin_images.h"

namespace {

namespace b = tarvik::builtin;

struct Item {
  std::string label;
  Glib::RefPtr<Gdk::Pixbuf> picture;
};

constexpr int kScale = 4;
constexpr int kGap = 16;
constexpr int kLabelHeight = 18;

void Label(const Cairo::RefPtr<Cairo::Context>& cr, const std::string& text, double x, double y) {
  auto layout = Pango::Layout::create(cr);
  layout->set_font_description(Pango::FontDescription("IPAPGothic 9"));
  layout->set_text(text);
  cr->set_source_rgb(0.15, 0.15, 0.15);
  cr->move_to(x, y);
  layout->show_in_cairo_context(cr);
}

// A checkerboard shows which pixels are transparent.
void Checker(const Cairo::RefPtr<Cairo::Context>& cr, double x, double y, double w, double h) {
  for (int cy = 0; cy * 8 < h; ++cy)
    for (int cx = 0; cx * 8 < w; ++cx) {
      double v = ((cx + cy) % 2) ? 0.86 : 0.97;
      cr->set_source_rgb(v, v, v);
      cr->rectangle(x + cx * 8, y + cy * 8, std::min(8.0, w - cx * 8), std::min(8.0, h - cy * 8));
      cr->fill();
    }
}

}  // namespace

int main(int argc, char** argv) {
  // The wrappers of gdkmm and pangomm, without opening a display.
  Gtk::Main::init_gtkmm_internals();
  const std::string out = argc > 1 ? argv[1] : "image_sheet.png";

  std::vector<std::vector<Item>> rows;
  rows.push_back({{"中止", b::ToolbarImage(1)},
                  {"更新", b::ToolbarImage(2)},
                  {"Home", b::ToolbarImage(3)},
                  {"戻る", b::ToolbarImage(4)},
                  {"進む", b::ToolbarImage(5)}});
  rows.push_back({{"Empty", b::PocketImage(false)},
                  {"Full", b::PocketImage(true)},
                  {"Cursor", b::PocketCursorImage()}});
  rows.push_back({{"ジョブモード", b::ModeImage(1)},
                  {"ダイレクト", b::ModeImage(2)},
                  {"WindowIcon", b::WindowIcon()}});
  rows.push_back({{"先頭へ", b::NavButtonImage(0)},
                  {"一つ前", b::NavButtonImage(1)},
                  {"次", b::NavButtonImage(2)},
                  {"最後へ", b::NavButtonImage(3)},
                  {"一覧", b::NavButtonImage(4)},
                  {"移動", b::DirButtonImage(1)},
                  {"お気に入りを開く", b::DirButtonImage(2)},
                  {"追加", b::DirButtonImage(3)}});
  std::vector<Item> small;
  for (const auto& icon : b::WindowIconList())
    small.push_back({std::to_string(icon->get_width()) + "px", icon});
  small.push_back({"CoolBar tile", b::CoolBarBackground()});
  rows.push_back(small);

  int sheet_w = 0, sheet_h = kGap;
  for (const auto& row : rows) {
    int w = kGap, h = 0;
    for (const auto& item : row) {
      w += item.picture->get_width() * (kScale + 1) + kGap * 3;
      h = std::max(h, item.picture->get_height() * kScale);
    }
    sheet_w = std::max(sheet_w, w);
    sheet_h += h + kLabelHeight + kGap;
  }
  // A strip of the cool bar tile repeated, to check its seams.
  const int tile = b::CoolBarBackground()->get_width();
  sheet_h += tile * 2 + kGap;
  sheet_w = std::max(sheet_w, tile * 8 + kGap * 2);

  auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, sheet_w, sheet_h);
  auto cr = Cairo::Context::create(surface);
  cr->set_source_rgb(1, 1, 1);
  cr->paint();

  int y = kGap;
  for (const auto& row : rows) {
    int x = kGap, h = 0;
    for (const auto& item : row) {
      const auto& p = item.picture;
      const int w4 = p->get_width() * kScale, h4 = p->get_height() * kScale;
      Label(cr, item.label, x, y);
      Checker(cr, x, y + kLabelHeight, w4, h4);
      cr->save();
      cr->translate(x, y + kLabelHeight);
      cr->scale(kScale, kScale);
      Gdk::Cairo::set_source_pixbuf(cr, p, 0, 0);
      Cairo::RefPtr<Cairo::SurfacePattern>::cast_dynamic(cr->get_source())
          ->set_filter(Cairo::FILTER_NEAREST);
      cr->paint();
      cr->restore();
      // The real size, on the grey of a button face.
      const int rx = x + w4 + kGap / 2;
      cr->set_source_rgb(0.93, 0.92, 0.9);
      cr->rectangle(rx - 3, y + kLabelHeight - 3, p->get_width() + 6, p->get_height() + 6);
      cr->fill();
      Gdk::Cairo::set_source_pixbuf(cr, p, rx, y + kLabelHeight);
      cr->paint();
      x = rx + p->get_width() + kGap * 2;
      h = std::max(h, h4);
    }
    y += h + kLabelHeight + kGap;
  }
  for (int ty = 0; ty < 2; ++ty)
    for (int tx = 0; tx < 8; ++tx) {
      Gdk::Cairo::set_source_pixbuf(cr, b::CoolBarBackground(), kGap + tx * tile, y + ty * tile);
      cr->paint();
    }

  surface->write_to_png(out);
  std::cout << out << "\n";
  return 0;
}
