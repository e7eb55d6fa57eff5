// The icons the desktop shows for Tarvik and for its job files. The window icon is the same
// drawing at the sizes of the built-in pictures.
#include "platform/builtin_drawing.h"

#include <array>

#include "platform/builtin_drawing_kit.h"

namespace tarvik::builtin {

namespace kit {

namespace {

// A line through `points`, stroked: a tick or an arrow head.
void Line(const Cr& cr, std::initializer_list<std::array<double, 2>> points, Rgb colour,
          double width) {
  bool first = true;
  for (const auto& [x, y] : points) {
    if (first)
      cr->move_to(x, y);
    else
      cr->line_to(x, y);
    first = false;
  }
  SetColour(cr, colour);
  cr->set_line_width(width);
  cr->stroke();
}

// A checklist step's box, `size` wide, its middle at height `y`.
void StepBox(const Cr& cr, double x, double y, double size) {
  cr->rectangle(x, y - size / 2, size, size);
  SetColour(cr, Hex(0xffffff));
  cr->fill_preserve();
  SetColour(cr, Hex(0x6b7480));
  cr->set_line_width(0.8);
  cr->stroke();
}

// The globe's sea, light near (fx, fy) and deep at the rim of the circle at (cx, cy).
Cairo::RefPtr<Cairo::RadialGradient> Sea(double fx, double fy, double fr, double cx, double cy,
                                         double r) {
  auto sea = Cairo::RadialGradient::create(fx, fy, fr, cx, cy, r);
  sea->add_color_stop_rgb(0, 0.78, 0.91, 1.0);
  sea->add_color_stop_rgb(0.55, 0.22, 0.55, 0.88);
  sea->add_color_stop_rgb(1, 0.07, 0.28, 0.58);
  return sea;
}

}  // namespace

// ---- window icon --------------------------------------------------------------------------------

// Drawn on a 48-unit grid and scaled, so that each size of the icon is drawn rather than resampled.
void DrawWindowIcon(const Cr& cr, double size) {
  cr->scale(size / 48.0, size / 48.0);
  const double cx = 21, cy = 21, r = 18.5;
  // The globe.
  cr->arc(cx + 1, cy + 1.5, r, 0, 2 * kPi);
  cr->set_source_rgba(0, 0, 0, 0.2);
  cr->fill();
  cr->arc(cx, cy, r, 0, 2 * kPi);
  cr->set_source(Sea(cx - 6, cy - 7, 1, cx, cy, r));
  cr->fill();

  cr->save();
  cr->arc(cx, cy, r, 0, 2 * kPi);
  cr->clip();
  // Land: two stylised continents.
  auto land = [&] {
    cr->move_to(cx - 15, cy - 9);
    cr->curve_to(cx - 10, cy - 16, cx - 2, cy - 15, cx - 1, cy - 10);
    cr->curve_to(cx, cy - 5, cx - 6, cy - 4, cx - 5, cy + 1);
    cr->curve_to(cx - 4, cy + 6, cx - 8, cy + 12, cx - 11, cy + 10);
    cr->curve_to(cx - 14, cy + 7, cx - 18, cy - 2, cx - 15, cy - 9);
    cr->close_path();
    cr->move_to(cx + 4, cy - 16);
    cr->curve_to(cx + 10, cy - 18, cx + 17, cy - 10, cx + 15, cy - 4);
    cr->curve_to(cx + 13, cy + 1, cx + 7, cy - 3, cx + 5, cy - 7);
    cr->curve_to(cx + 3, cy - 10, cx + 1, cy - 14, cx + 4, cy - 16);
    cr->close_path();
  };
  land();
  cr->set_source(Vertical(cy - r, cy + r, Hex(0x9ee07a), Hex(0x2f7d22)));
  cr->fill_preserve();
  cr->set_source_rgba(0.08, 0.3, 0.06, 0.7);
  cr->set_line_width(0.8);
  cr->stroke();
  // Meridians and parallels.
  cr->set_source_rgba(1, 1, 1, 0.35);
  cr->set_line_width(0.9);
  for (double k : {0.35, 0.75}) {
    cr->save();
    cr->translate(cx, cy);
    cr->scale(k, 1);
    cr->arc(0, 0, r, 0, 2 * kPi);
    cr->restore();
    cr->stroke();
  }
  cr->move_to(cx, cy - r);
  cr->line_to(cx, cy + r);
  for (double dy : {-10.0, 0.0, 10.0}) {
    cr->move_to(cx - r, cy + dy);
    cr->line_to(cx + r, cy + dy);
  }
  cr->stroke();
  // Light on the upper left.
  auto shine = Cairo::RadialGradient::create(cx - 7, cy - 9, 0, cx - 7, cy - 9, 11);
  shine->add_color_stop_rgba(0, 1, 1, 1, 0.6);
  shine->add_color_stop_rgba(1, 1, 1, 1, 0);
  cr->set_source(shine);
  cr->paint();
  cr->restore();
  cr->arc(cx, cy, r - 0.5, 0, 2 * kPi);
  SetColour(cr, Hex(0x0c3466));
  cr->set_line_width(1);
  cr->stroke();

  // The job sheet: a checklist of steps.
  Paint(cr, [&] { RoundedRect(cr, 24.5, 22.5, 21, 24, 1.5); }, 22, 47,
        {Hex(0xffffff), Hex(0xe1e6ee), Hex(0x4f5966), 0, 0.3, 0});
  for (int i = 0; i < 3; ++i) {
    double y = 28.5 + i * 6;
    bool done = i < 2;
    StepBox(cr, 27.5, y, 4);
    if (done)
      Line(cr, {{27.8, y - 0.3}, {29.4, y + 1.6}, {32.6, y - 3.4}}, Hex(0x23901a), 1.7);
    else  // the step in hand: an arrow pointing at it
      Line(cr, {{25.6, y - 1.6}, {27.0, y}, {25.6, y + 1.6}}, Hex(0xd2401e), 1.2);
    cr->rectangle(34, y - 0.8, i == 1 ? 8 : 9.5, 1.6);
    SetColour(cr, done ? Hex(0x9aa4b2) : Hex(0x2f6fc4));
    cr->fill();
  }
}

}  // namespace kit

namespace {

using namespace kit;  // the drawing kit and the window icon's parts

// ---- job file icon ------------------------------------------------------------------------------

// A sheet with a folded corner holding the job's checklist, and the window icon's globe in its
// lower left corner; drawn on a 48-unit grid like the window icon.
void PaintJobFileIcon(const Cr& cr, double size) {
  cr->scale(size / 48.0, size / 48.0);
  const double left = 8.5, top = 2.5, right = 40.5, bottom = 45.5, fold = 10;
  auto sheet = [&] {
    cr->move_to(left, top);
    cr->line_to(right - fold, top);
    cr->line_to(right, top + fold);
    cr->line_to(right, bottom);
    cr->line_to(left, bottom);
    cr->close_path();
  };
  Paint(cr, sheet, top, bottom, {Hex(0xffffff), Hex(0xdde3ec), Hex(0x4f5966), 0.2, 0.3, 0});
  // The folded corner.
  Polygon(cr, {{right - fold, top}, {right - fold, top + fold}, {right, top + fold}});
  cr->set_source(Vertical(top, top + fold, Hex(0xf4f6fa), Hex(0xb9c2cf)));
  cr->fill_preserve();
  SetColour(cr, Hex(0x4f5966));
  cr->set_line_width(1);
  cr->stroke();
  // The checklist: two steps done, the step in hand marked with an arrow.
  for (int i = 0; i < 4; ++i) {
    const double y = 17.5 + i * 6.5;
    const bool done = i < 2;
    StepBox(cr, 13, y, 4.4);
    if (done)
      Line(cr, {{13.3, y - 0.3}, {15.0, y + 1.7}, {18.4, y - 3.6}}, Hex(0x23901a), 1.8);
    else if (i == 2)
      Line(cr, {{10.6, y - 1.8}, {12.2, y}, {10.6, y + 1.8}}, Hex(0xd2401e), 1.3);
    cr->rectangle(20, y - 0.9, i % 2 ? 13 : 16, 1.8);
    SetColour(cr, done ? Hex(0x9aa4b2) : Hex(0x2f6fc4));
    cr->fill();
  }
  // Tarvik's globe, small, in the lower right corner of the sheet.
  const double gx = 33, gy = 38, gr = 7.5;
  cr->arc(gx, gy, gr, 0, 2 * kPi);
  cr->set_source(Sea(gx - 2.5, gy - 3, 0.5, gx, gy, gr));
  cr->fill_preserve();
  SetColour(cr, Hex(0x0c3466));
  cr->set_line_width(0.9);
  cr->stroke();
  cr->save();
  cr->arc(gx, gy, gr, 0, 2 * kPi);
  cr->clip();
  cr->move_to(gx - 6, gy - 3.5);
  cr->curve_to(gx - 3, gy - 7, gx, gy - 5, gx - 1, gy - 1);
  cr->curve_to(gx - 2, gy + 3, gx - 5, gy + 4, gx - 6.5, gy + 1);
  cr->close_path();
  cr->move_to(gx + 2, gy - 6.5);
  cr->curve_to(gx + 6, gy - 6, gx + 7, gy - 1, gx + 5, gy + 1);
  cr->curve_to(gx + 3, gy + 2, gx + 1.5, gy - 3, gx + 2, gy - 6.5);
  cr->close_path();
  cr->set_source(Vertical(gy - gr, gy + gr, Hex(0x9ee07a), Hex(0x2f7d22)));
  cr->fill();
  cr->restore();
}

}  // namespace

Glib::RefPtr<Gdk::Pixbuf> DrawApplicationIcon(int size) {
  if (size < 1) return {};
  return Draw(size, size, [size](const Cr& cr) { DrawWindowIcon(cr, size); });
}

Glib::RefPtr<Gdk::Pixbuf> DrawJobFileIcon(int size) {
  if (size < 1) return {};
  return Draw(size, size, [size](const Cr& cr) { PaintJobFileIcon(cr, size); });
}

}  // namespace tarvik::builtin
