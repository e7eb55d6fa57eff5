// The cool bar: a container with its own input window that lays its bands out in rows, paints the
// grippers, captions, dividers and the tiled background picture, and lets the user drag bands.
//
// The band model is a list of rows, each a list of band indices, hidden bands included, so that a
// hidden band keeps its place and comes back where it was. Everything else (band rectangles, row
// heights, the bar's height) is computed from that model and the bar's width whenever it is needed;
// a bar holds a handful of bands, so recomputing is cheaper than keeping a cache right.
#include "platform/cool_bar.h"

#include <gdk/gdk.h>
#include <gdkmm/cursor.h>
#include <gdkmm/general.h>
#include <gdkmm/window.h>
#include <glibmm/main.h>
#include <gtkmm/stylecontext.h>
#include <pangomm/layout.h>

#include <algorithm>
#include <cmath>

#include "platform/accessible.h"
#include "platform/style_sheet.h"

namespace tarvik {

namespace {

// Band metrics in pixels. A band reads, from left to right: a small margin, the gripper ridge, a
// gap, the caption and a gap after it when there is one, the child, and a border on the right where
// the divider to the next band is etched. A row leaves kRowPadding above and below its children;
// the etched lines between the rows and under the last row lie inside that padding.
constexpr int kRowPadding = 2;
constexpr int kBandBorder = 2;
constexpr int kGripperLeft = 2;
constexpr int kGripperRidge = 3;
constexpr int kGripperGap = 4;
constexpr int kCaptionGap = 6;
constexpr int kGripperZone = kGripperLeft + kGripperRidge + kGripperGap;

struct BandState {
  CoolBand layout;               // its caption and sizes: as added, then as the user drags it
  Gtk::Widget* child = nullptr;  // null once the child has been removed from the bar
  bool visible = true;
  int header_width = -1;  // measured once per style: the pointer asks for it at every move
};

// Where a band ended up in one layout pass. Bands that are hidden or sit in no row are not placed.
struct BandBox {
  bool placed = false;
  int row = -1;  // index among the visible rows
  int x = 0, y = 0, width = 0, height = 0;
  int header = 0;  // gripper and caption, the part that starts a drag
  Gdk::Rectangle child;
};

struct RowBox {
  int y = 0;
  int height = 0;
  std::vector<int> bands;  // the visible bands, left to right
};

struct Layout {
  std::vector<BandBox> bands;
  std::vector<RowBox> rows;
  int height = 0;
};

// The etched look of a classic desktop: a dark line with a light one beside it. Both are drawn
// half-transparent so that they read on any light theme colour and over a background picture.
void SetShadow(const Cairo::RefPtr<Cairo::Context>& cr) { cr->set_source_rgba(0, 0, 0, 0.35); }
void SetHighlight(const Cairo::RefPtr<Cairo::Context>& cr) { cr->set_source_rgba(1, 1, 1, 0.85); }

double Luminance(double r, double g, double b) { return 0.2126 * r + 0.7152 * g + 0.0722 * b; }

// The mean luminance of the picture tiled from the bar's origin, over a rectangle of the bar.
double MeanLuminance(const Glib::RefPtr<Gdk::Pixbuf>& picture, int x, int y, int w, int h) {
  const int pw = picture->get_width(), ph = picture->get_height();
  const int n = picture->get_n_channels(), stride = picture->get_rowstride();
  const guint8* pixels = picture->get_pixels();
  double sum = 0;
  long count = 0;
  for (int j = std::max(y, 0); j < y + h; ++j) {
    for (int i = std::max(x, 0); i < x + w; ++i, ++count) {
      const guint8* p = pixels + (j % ph) * stride + (i % pw) * n;
      sum += Luminance(p[0] / 255.0, p[1] / 255.0, p[2] / 255.0);
    }
  }
  return count > 0 ? sum / static_cast<double>(count) : 0.5;
}

void HorizontalLine(const Cairo::RefPtr<Cairo::Context>& cr, int x0, int x1, int y) {
  cr->move_to(x0, y + 0.5);
  cr->line_to(x1, y + 0.5);
  cr->stroke();
}

void VerticalLine(const Cairo::RefPtr<Cairo::Context>& cr, int x, int y0, int y1) {
  cr->move_to(x + 0.5, y0);
  cr->line_to(x + 0.5, y1);
  cr->stroke();
}

}  // namespace

struct CoolBar::Impl {
  explicit Impl(CoolBar& owner) : self(owner) {}

  CoolBar& self;
  std::vector<BandState> bands;
  std::vector<std::vector<int>> rows;  // every band, hidden ones too, in display order
  Glib::RefPtr<Gdk::Pixbuf> picture;
  Glib::RefPtr<Gdk::Window> window;
  Glib::RefPtr<Gdk::Cursor> move_cursor;
  sigc::signal<void(int)> height_changed;
  sigc::signal<void()> band_change;
  sigc::connection height_check;  // pending idle check after an allocation
  int reported_height = 0;        // the height the owner last heard of
  bool allocated = false;

  int drag_band = -1;   // the band under a pressed left button, -1 when no drag runs
  int drag_offset = 0;  // pointer x minus the band's left edge when the drag began

  bool valid(int band) const { return band >= 0 && band < static_cast<int>(bands.size()); }

  int header_width(int band) {
    int& cached = bands[band].header_width;
    if (cached < 0) {
      const std::string& caption = bands[band].layout.caption;
      int w = 0, h = 0;
      if (!caption.empty()) self.create_pango_layout(caption)->get_pixel_size(w, h);
      cached = caption.empty() ? kGripperZone : kGripperZone + w + kCaptionGap;
    }
    return cached;
  }

  // The least a band takes when its row has no room for the minimums: its gripper and caption,
  // so that it can still be seen and dragged.
  int grip_width(int band) { return header_width(band) + kBandBorder + 1; }

  // A band never gets narrower than its gripper and caption, whatever minimum it was given, nor
  // than its child when it holds it whole.
  int min_band_width(int band) {
    int child = 1;
    if (Gtk::Widget* w = bands[band].child;
        bands[band].layout.holds_child && w && w->get_visible()) {
      int natural = 0;
      w->get_preferred_width(child, natural);
    }
    return std::max(bands[band].layout.min_width, header_width(band) + kBandBorder + child);
  }
  int desired_band_width(int band) {
    return std::max(bands[band].layout.width, min_band_width(band));
  }

  int child_min_height(int band) {
    int height = bands[band].layout.min_height;
    if (Gtk::Widget* child = bands[band].child; child && child->get_visible()) {
      int minimum = 0, natural = 0;
      child->get_preferred_height(minimum, natural);
      height = std::max(height, minimum);
    }
    return height;
  }

  std::vector<int> visible_in_row(const std::vector<int>& row) const {
    std::vector<int> out;
    for (int b : row)
      if (bands[b].visible) out.push_back(b);
    return out;
  }

  // Internal indices of the rows that show at least one band.
  std::vector<int> visible_rows() const {
    std::vector<int> out;
    for (size_t r = 0; r < rows.size(); ++r)
      if (!visible_in_row(rows[r]).empty()) out.push_back(static_cast<int>(r));
    return out;
  }

  // The longest row, each band of it as wide as `width` says.
  template <typename Width>
  int widest_row(Width&& width) {
    int widest = 0;
    for (const auto& row : rows) {
      int sum = 0;
      for (int b : visible_in_row(row)) sum += width(b);
      widest = std::max(widest, sum);
    }
    return widest;
  }

  int natural_width() {
    return widest_row([this](int b) { return desired_band_width(b); });
  }

  // The bar asks only for room for every gripper of its longest row, not for the bands' minimum
  // widths: the window holding the bar must stay free to become narrower than its bands, which
  // then give up their width (see layout()) but never leave the bar.
  int minimum_width() {
    return widest_row([this](int b) { return grip_width(b); });
  }

  int layout_width() { return allocated ? self.get_allocated_width() : natural_width(); }

  Layout layout(int bar_width) {
    Layout out;
    out.bands.resize(bands.size());
    int y = 0;
    for (const auto& row : rows) {
      std::vector<int> shown = visible_in_row(row);
      if (shown.empty()) continue;
      const int row_index = static_cast<int>(out.rows.size());
      int child_height = 0;
      for (int b : shown) child_height = std::max(child_height, child_min_height(b));
      const int row_height = child_height + 2 * kRowPadding;

      // Every band starts at the width it asks for. When the row is too long, the bands give up
      // width from the right end down to their minimums; when it is short, the last band takes the
      // rest of the bar.
      std::vector<int> widths;
      int total = 0;
      for (int b : shown) {
        widths.push_back(desired_band_width(b));
        total += widths.back();
      }
      const int n = static_cast<int>(shown.size());
      for (int i = n - 1; i >= 0 && total > bar_width; --i) {
        int give = std::min(total - bar_width, widths[i] - min_band_width(shown[i]));
        if (give > 0) {
          widths[i] -= give;
          total -= give;
        }
      }
      // A band whose gripper lay past the bar's right edge could never be dragged back. So when
      // the minimums leave the last band's gripper outside (a narrow window, a wide band dragged
      // into the row), the bands before it give up width down to their grippers, from the right,
      // and their children are cut off. The last band itself may still run past the edge.
      const int room = bar_width - grip_width(shown.back());
      for (int i = n - 2; i >= 0 && total - widths.back() > room; --i) {
        int give = std::min(total - widths.back() - room, widths[i] - grip_width(shown[i]));
        if (give > 0) {
          widths[i] -= give;
          total -= give;
        }
      }
      if (total < bar_width) widths.back() += bar_width - total;

      int x = 0;
      for (size_t i = 0; i < shown.size(); ++i) {
        BandBox& box = out.bands[shown[i]];
        box.placed = true;
        box.row = row_index;
        box.x = x;
        box.y = y;
        box.width = widths[i];
        box.height = row_height;
        box.header = header_width(shown[i]);
        // The child gets its band's room and no more, even when it asks for more: a child
        // running past its band would lie over the next band's gripper and take its presses.
        const int child_width = std::max(1, widths[i] - box.header - kBandBorder);
        box.child = Gdk::Rectangle(x + box.header, y + kRowPadding, child_width, child_height);
        x += widths[i];
      }
      out.rows.push_back(RowBox{y, row_height, std::move(shown)});
      y += row_height;
    }
    out.height = y;
    return out;
  }

  Layout current() { return layout(layout_width()); }

  int height() {
    int total = 0;
    for (const auto& row : rows) {
      std::vector<int> shown = visible_in_row(row);
      if (shown.empty()) continue;
      int child_height = 0;
      for (int b : shown) child_height = std::max(child_height, child_min_height(b));
      total += child_height + 2 * kRowPadding;
    }
    return total;
  }

  // Moves `band` into visible row `row` before the visible band now at `position` there (or last).
  // Returns whether the arrangement changed.
  bool move(int band, int row, int position) {
    const auto before = rows;
    std::vector<int> shown_rows = visible_rows();
    row = std::max(row, 0);
    const bool new_row = row >= static_cast<int>(shown_rows.size());
    int target = new_row ? -1 : shown_rows[row];
    int before_band = -1;
    if (!new_row) {
      std::vector<int> shown = visible_in_row(rows[target]);
      if (position >= 0 && position < static_cast<int>(shown.size())) before_band = shown[position];
    }
    if (before_band == band) return false;

    for (size_t r = 0; r < rows.size(); ++r) {
      auto it = std::find(rows[r].begin(), rows[r].end(), band);
      if (it == rows[r].end()) continue;
      rows[r].erase(it);
      if (rows[r].empty()) {
        rows.erase(rows.begin() + static_cast<long>(r));
        if (target > static_cast<int>(r)) --target;
      }
      break;
    }
    if (new_row) {
      rows.push_back({band});
    } else {
      auto& dest = rows[target];
      auto at = before_band < 0 ? dest.end() : std::find(dest.begin(), dest.end(), before_band);
      dest.insert(at, band);
    }
    return rows != before;
  }

  // Called after every change of the bands. The signals are emitted here, outside any allocation,
  // and the height only when it differs from what the owner last heard.
  void changed(bool bands_changed) {
    self.queue_resize();
    self.queue_draw();
    if (bands_changed) band_change.emit();
    report_height();
  }

  void report_height() {
    int h = height();
    if (h == reported_height) return;
    reported_height = h;
    height_changed.emit(h);
  }

  int band_at_header(double x, double y) {
    Layout l = current();
    for (size_t b = 0; b < l.bands.size(); ++b) {
      const BandBox& box = l.bands[b];
      if (box.placed && x >= box.x && x < box.x + box.header && y >= box.y &&
          y < box.y + box.height)
        return static_cast<int>(b);
    }
    return -1;
  }

  void drag_to(int x, int y) {
    const int band = drag_band;
    Layout l = current();
    const BandBox& box = l.bands[band];
    if (!box.placed) {
      drag_band = -1;
      return;
    }
    const int row_count = static_cast<int>(l.rows.size());
    int target = 0;
    if (y >= l.height) {
      target = row_count;
    } else if (y >= 0) {
      for (int r = 0; r < row_count; ++r)
        if (y >= l.rows[r].y && y < l.rows[r].y + l.rows[r].height) target = r;
    }
    // A band alone in the last row is already where "below the last row" would put it.
    if (target == row_count && box.row == row_count - 1 && l.rows[box.row].bands.size() == 1)
      target = box.row;

    if (target != box.row) {
      int position = -1;
      if (target < row_count) {
        const auto& shown = l.rows[target].bands;
        for (size_t i = 0; i < shown.size(); ++i) {
          const BandBox& other = l.bands[shown[i]];
          if (x < other.x + other.width / 2) {
            position = static_cast<int>(i);
            break;
          }
        }
      }
      if (move(band, target, position)) changed(true);
      return;
    }
    drag_along_row(l, band, x);
  }

  // A drag inside the band's own row: over a neighbour's gripper the two bands swap places;
  // otherwise the band's left edge follows the pointer, widening or narrowing the band before it.
  void drag_along_row(const Layout& l, int band, int x) {
    const BandBox& box = l.bands[band];
    const auto& shown = l.rows[box.row].bands;
    const int n = static_cast<int>(shown.size());
    const int k = static_cast<int>(std::find(shown.begin(), shown.end(), band) - shown.begin());
    if (k > 0) {
      const BandBox& prev = l.bands[shown[k - 1]];
      if (x < prev.x + prev.header) {
        if (move(band, box.row, k - 1)) changed(true);
        return;
      }
    }
    if (k + 1 < n) {
      const BandBox& next = l.bands[shown[k + 1]];
      if (x >= next.x + next.header) {
        if (move(band, box.row, k + 2 < n ? k + 2 : -1)) changed(true);
        return;
      }
    }
    if (k == 0) return;  // the first band of a row always starts at the bar's left edge

    const int prev_band = shown[k - 1];
    const BandBox& prev = l.bands[prev_band];
    const bool last = k == n - 1;
    const int low = prev.x + min_band_width(prev_band);
    const int high = (last ? layout_width() : box.x + box.width) - min_band_width(band);
    if (high < low) return;
    const int left = std::clamp(x - drag_offset, low, high);
    if (left == box.x) return;
    bands[prev_band].layout.width = left - prev.x;
    if (!last) bands[band].layout.width = box.x + box.width - left;
    changed(true);
  }

  void update_cursor(double x, double y) {
    if (!window) return;
    if (band_at_header(x, y) >= 0) {
      if (!move_cursor) move_cursor = Gdk::Cursor::create(self.get_display(), "move");
      window->set_cursor(move_cursor);
    } else {
      window->set_cursor();
    }
  }

  void draw_gripper(const Cairo::RefPtr<Cairo::Context>& cr, const BandBox& box) {
    const int x = box.x + kGripperLeft;
    const int top = box.y + kRowPadding + 1;
    const int bottom = box.y + box.height - kRowPadding - 1;
    SetHighlight(cr);
    VerticalLine(cr, x, top, bottom);
    HorizontalLine(cr, x, x + kGripperRidge - 1, top);
    SetShadow(cr);
    VerticalLine(cr, x + kGripperRidge - 1, top, bottom);
    HorizontalLine(cr, x, x + kGripperRidge, bottom - 1);
  }

  void draw(const Cairo::RefPtr<Cairo::Context>& cr) {
    const int width = self.get_allocated_width();
    const int height = self.get_allocated_height();
    auto style = self.get_style_context();
    style->render_background(cr, 0, 0, width, height);
    Layout l = layout(width);

    if (picture) {
      // The tiles start at the bar's origin so that code painting the children can continue the
      // pattern from a child's position in the bar. Bands that refuse the picture are cut out of
      // the filled area with the even-odd rule and keep the plain theme background.
      cr->save();
      Gdk::Cairo::set_source_pixbuf(cr, picture, 0, 0);
      cairo_pattern_set_extend(cairo_get_source(cr->cobj()), CAIRO_EXTEND_REPEAT);
      cr->set_fill_rule(Cairo::FILL_RULE_EVEN_ODD);
      cr->rectangle(0, 0, width, height);
      for (size_t b = 0; b < bands.size(); ++b)
        if (l.bands[b].placed && !bands[b].layout.use_bar_picture)
          cr->rectangle(l.bands[b].x, l.bands[b].y, l.bands[b].width, l.bands[b].height);
      cr->fill();
      cr->restore();
    }

    cr->save();
    cr->set_line_width(1.0);
    // An etched line under every row: between two rows it separates them, under the last it
    // separates the bar from what lies below it in the window.
    for (const RowBox& row : l.rows) {
      const int bottom = row.y + row.height;
      SetShadow(cr);
      HorizontalLine(cr, 0, width, bottom - (bottom == l.height ? 2 : 1));
      SetHighlight(cr);
      HorizontalLine(cr, 0, width, bottom - (bottom == l.height ? 1 : 0));
    }
    for (const RowBox& row : l.rows) {
      for (size_t i = 0; i < row.bands.size(); ++i) {
        const BandBox& box = l.bands[row.bands[i]];
        draw_gripper(cr, box);
        if (i + 1 < row.bands.size()) {
          const int right = box.x + box.width;
          SetShadow(cr);
          VerticalLine(cr, right - 2, box.y + 1, box.y + box.height - 1);
          SetHighlight(cr);
          VerticalLine(cr, right - 1, box.y + 1, box.y + box.height - 1);
        }
      }
    }
    cr->restore();

    for (size_t b = 0; b < bands.size(); ++b) {
      const BandBox& box = l.bands[b];
      if (!box.placed || bands[b].layout.caption.empty()) continue;
      auto text = self.create_pango_layout(bands[b].layout.caption);
      int tw = 0, th = 0;
      text->get_pixel_size(tw, th);
      const int x = box.x + kGripperZone, y = box.y + (box.height - th) / 2;
      if (!picture || !bands[b].layout.use_bar_picture) {
        style->render_layout(cr, x, y, text);
        continue;
      }
      // Over a picture the theme's text colour is kept while it stands out from the picture
      // under the caption; otherwise (a light picture under a dark theme's light text, say) the
      // caption is near black or near white, whichever contrasts.
      const double under = MeanLuminance(picture, x, y, tw, th);
      const Gdk::RGBA fg = style->get_color(style->get_state());
      cr->save();
      if (std::abs(Luminance(fg.get_red(), fg.get_green(), fg.get_blue()) - under) >= 0.45)
        Gdk::Cairo::set_source_rgba(cr, fg);
      else if (under > 0.5)
        cr->set_source_rgb(0.08, 0.08, 0.08);
      else
        cr->set_source_rgb(0.96, 0.96, 0.96);
      cr->move_to(x, y);
      text->show_in_cairo_context(cr);
      cr->restore();
    }
  }
};

CoolBar::CoolBar() : impl_(new Impl(*this)) {
  set_has_window(true);
  // The bar paints the theme's window colour itself, because it has a window of its own and a
  // container's node carries no background in most themes.
  InstallStyleSheet(".tarvik-coolbar { background-color: @theme_bg_color; }",
                    GTK_STYLE_PROVIDER_PRIORITY_FALLBACK);
  get_style_context()->add_class("tarvik-coolbar");
}

CoolBar::~CoolBar() {
  impl_->height_check.disconnect();
  // Children still here are unparented now, while this class can still answer for them; the base
  // class destructor would only see a plain container without them.
  for (auto& band : impl_->bands) {
    if (Gtk::Widget* child = band.child) {
      band.child = nullptr;
      child->unparent();
    }
  }
  delete impl_;
  impl_ = nullptr;
}

int CoolBar::add_band(Gtk::Widget& child, const CoolBand& band) {
  const int index = static_cast<int>(impl_->bands.size());
  impl_->bands.push_back(BandState{band, &child, true});
  if (band.new_row || impl_->rows.empty())
    impl_->rows.push_back({index});
  else
    impl_->rows.back().push_back(index);
  child.set_parent(*this);
  child.set_child_visible(true);
  // The caption is drawn, so assistive technologies hear it as the name of the band's child,
  // unless the child has a name of its own.
  if (!band.caption.empty() && AccessibleName(child).empty())
    SetAccessibleName(child, band.caption);
  // Building the bar is not a change the owner has to follow, so the height is taken silently.
  impl_->reported_height = impl_->height();
  queue_resize();
  return index;
}

int CoolBar::band_count() const { return static_cast<int>(impl_->bands.size()); }

void CoolBar::set_band_visible(int band, bool visible) {
  if (!impl_->valid(band) || impl_->bands[band].visible == visible) return;
  impl_->bands[band].visible = visible;
  if (band == impl_->drag_band && !visible) impl_->drag_band = -1;
  // Child visibility keeps the child unmapped without touching its own "visible" flag, so that a
  // show_all() on the window does not bring back the child of a hidden band.
  if (Gtk::Widget* child = impl_->bands[band].child) child->set_child_visible(visible);
  impl_->changed(true);
}

bool CoolBar::band_visible(int band) const {
  return impl_->valid(band) && impl_->bands[band].visible;
}

int CoolBar::band_width(int band) const {
  if (!impl_->valid(band)) return 0;
  BandBox box = impl_->current().bands[band];
  return box.placed ? box.width : 0;
}

int CoolBar::band_frame_width(int band) const {
  if (!impl_->valid(band)) return 0;
  return impl_->header_width(band) + kBandBorder;
}

void CoolBar::set_band_width(int band, int width) {
  if (!impl_->valid(band) || impl_->bands[band].layout.width == width) return;
  impl_->bands[band].layout.width = width;
  queue_resize();
  queue_draw();
}

void CoolBar::set_band_min_width(int band, int width) {
  if (!impl_->valid(band) || impl_->bands[band].layout.min_width == width) return;
  impl_->bands[band].layout.min_width = width;
  queue_resize();
  queue_draw();
}

int CoolBar::band_row(int band) const {
  if (!impl_->valid(band)) return -1;
  int shown = 0;
  for (const auto& row : impl_->rows) {
    if (std::find(row.begin(), row.end(), band) != row.end()) return shown;
    if (!impl_->visible_in_row(row).empty()) ++shown;
  }
  return -1;
}

int CoolBar::band_position_in_row(int band) const {
  if (!impl_->valid(band)) return -1;
  for (const auto& row : impl_->rows) {
    auto it = std::find(row.begin(), row.end(), band);
    if (it == row.end()) continue;
    return static_cast<int>(
        std::count_if(row.begin(), it, [&](int b) { return impl_->bands[b].visible; }));
  }
  return -1;
}

void CoolBar::move_band(int band, int row, int position) {
  if (!impl_->valid(band)) return;
  if (impl_->move(band, row, position)) impl_->changed(true);
}

Gdk::Rectangle CoolBar::band_child_rect(int band) const {
  if (!impl_->valid(band)) return Gdk::Rectangle(0, 0, 0, 0);
  BandBox box = impl_->current().bands[band];
  return box.placed ? box.child : Gdk::Rectangle(0, 0, 0, 0);
}

int CoolBar::bar_height() const { return impl_->height(); }

void CoolBar::set_picture(const Glib::RefPtr<Gdk::Pixbuf>& picture) {
  impl_->picture = picture;
  queue_draw();
}

sigc::signal<void(int)>& CoolBar::signal_height_changed() { return impl_->height_changed; }
sigc::signal<void()>& CoolBar::signal_band_change() { return impl_->band_change; }

void CoolBar::forall_vfunc(gboolean, GtkCallback callback, gpointer data) {
  if (!impl_) return;
  // The callback may remove the child it is given, so the list is taken first.
  std::vector<Gtk::Widget*> children;
  for (const auto& band : impl_->bands)
    if (band.child) children.push_back(band.child);
  for (Gtk::Widget* child : children) callback(child->gobj(), data);
}

void CoolBar::on_add(Gtk::Widget* child) {
  if (child) add_band(*child, CoolBand{});
}

void CoolBar::on_remove(Gtk::Widget* child) {
  if (!impl_ || !child) return;
  // The band itself stays, empty, so that the indices of the other bands do not change.
  for (auto& band : impl_->bands) {
    if (band.child != child) continue;
    band.child = nullptr;
    child->unparent();
    queue_resize();
    return;
  }
}

GType CoolBar::child_type_vfunc() const { return Gtk::Widget::get_type(); }

Gtk::SizeRequestMode CoolBar::get_request_mode_vfunc() const {
  return Gtk::SIZE_REQUEST_CONSTANT_SIZE;
}

void CoolBar::get_preferred_width_vfunc(int& minimum, int& natural) const {
  minimum = impl_->minimum_width();
  natural = std::max(minimum, impl_->natural_width());
}

void CoolBar::get_preferred_height_vfunc(int& minimum, int& natural) const {
  minimum = natural = impl_->height();
}

void CoolBar::on_size_allocate(Gtk::Allocation& allocation) {
  set_allocation(allocation);
  impl_->allocated = true;
  if (impl_->window)
    impl_->window->move_resize(allocation.get_x(), allocation.get_y(), allocation.get_width(),
                               allocation.get_height());
  // Children are placed in the bar's own window, so their rectangles are relative to the bar.
  Layout l = impl_->layout(allocation.get_width());
  for (size_t b = 0; b < impl_->bands.size(); ++b) {
    Gtk::Widget* child = impl_->bands[b].child;
    if (!child || !l.bands[b].placed || !child->get_visible()) continue;
    Gtk::Allocation rect = l.bands[b].child;
    child->size_allocate(rect);
  }
  // A child whose own minimum height changed can change the bar's height without any call here.
  // The owner hears of it from an idle handler, never from inside the allocation.
  if (impl_->height() != impl_->reported_height && !impl_->height_check.connected()) {
    impl_->height_check = Glib::signal_idle().connect([this] {
      impl_->report_height();
      return false;
    });
  }
}

void CoolBar::on_realize() {
  set_realized(true);
  if (!impl_->window) {
    GdkWindowAttr attributes{};
    const Gtk::Allocation allocation = get_allocation();
    attributes.x = allocation.get_x();
    attributes.y = allocation.get_y();
    attributes.width = allocation.get_width();
    attributes.height = allocation.get_height();
    attributes.window_type = GDK_WINDOW_CHILD;
    attributes.wclass = GDK_INPUT_OUTPUT;
    attributes.visual = gtk_widget_get_visual(GTK_WIDGET(gobj()));
    attributes.event_mask = static_cast<int>(get_events()) | GDK_EXPOSURE_MASK |
                            GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                            GDK_POINTER_MOTION_MASK | GDK_LEAVE_NOTIFY_MASK;
    impl_->window =
        Gdk::Window::create(get_parent_window(), &attributes, GDK_WA_X | GDK_WA_Y | GDK_WA_VISUAL);
    set_window(impl_->window);
    register_window(impl_->window);
  }
}

void CoolBar::on_style_updated() {
  // A new font measures the captions anew.
  for (auto& band : impl_->bands) band.header_width = -1;
  Gtk::Container::on_style_updated();
}

void CoolBar::on_unrealize() {
  // The base class unregisters and destroys the window; only the reference is dropped here.
  impl_->window.reset();
  impl_->move_cursor.reset();
  impl_->drag_band = -1;
  Gtk::Container::on_unrealize();
}

bool CoolBar::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
  if (gtk_cairo_should_draw_window(cr->cobj(), get_window()->gobj())) impl_->draw(cr);
  return Gtk::Container::on_draw(cr);
}

bool CoolBar::on_button_press_event(GdkEventButton* event) {
  if (event->type != GDK_BUTTON_PRESS || event->button != 1)
    return Gtk::Container::on_button_press_event(event);
  const int band = impl_->band_at_header(event->x, event->y);
  if (band < 0) return Gtk::Container::on_button_press_event(event);
  impl_->drag_band = band;
  impl_->drag_offset = static_cast<int>(event->x) - impl_->current().bands[band].x;
  return true;
}

bool CoolBar::on_button_release_event(GdkEventButton* event) {
  if (event->button != 1 || impl_->drag_band < 0)
    return Gtk::Container::on_button_release_event(event);
  impl_->drag_band = -1;
  impl_->update_cursor(event->x, event->y);
  return true;
}

bool CoolBar::on_motion_notify_event(GdkEventMotion* event) {
  if (impl_->drag_band < 0) {
    impl_->update_cursor(event->x, event->y);
    return Gtk::Container::on_motion_notify_event(event);
  }
  impl_->drag_to(static_cast<int>(event->x), static_cast<int>(event->y));
  return true;
}

}  // namespace tarvik
