// The main window's layout rules as computations: they take sizes in twips and return what to
// set, so they need no display.
#pragma once

#include <optional>
#include <vector>

namespace tarvik {

// Twips per pixel for a screen resolution in dots per inch: 15 at 96 dpi.
int TwipsPerPixel(double dpi);
// The density the window's twips are converted at. GTK lays out in logical pixels of 1/96 inch
// on every display: a dense display gets a scale factor under them (GDK_SCALE), and the font
// resolution (Xft.dpi, GDK_DPI_SCALE) sizes text alone, not pictures or band heights. Taking the
// font resolution here would shrink the designed places under pictures that keep their size.
constexpr double kLogicalPixelsPerInch = 96;
// Twips → pixels, rounded to the nearest, halves to even.
int ToPixels(double twips, int twips_per_pixel);

// The sizes the layout follows from, taken once from the designed window.
struct LayoutSnapshot {
  float W = 0;   // window width
  float H = 0;   // window height
  float BW = 0;  // browser width
  float BH = 0;  // browser height
  float BT = 0;  // browser top
  float CW = 0;  // cool bar width
  float CH = 0;  // cool bar height
  float B4 = 0;  // band 4 width
  float JW = 0;  // title line (txtJob) width
  float UW = 0;  // address box (txtURL) width
  float GL = 0;  // Go button (cmdMove) left
  float OL = 0;  // open-favorite button (cmdOpFav) left
  float SL = 0;  // add-favorite button (cmdSvFav) left
};

// What the window resize rule sets, in twips.
struct ResizeLayout {
  float browser_width = 0;
  float browser_height = 0;
  float coolbar_width = 0;
  float band4_width = 0;  // also band 4's minimum width
  float job_width = 0;    // txtJob
  float url_width = 0;    // txtURL
  float move_left = 0;    // cmdMove
  float open_fav_left = 0;
  float save_fav_left = 0;
};

struct WindowState {
  float width = 0;   // twips
  float height = 0;  // twips
  bool minimized = false;
  bool in_code_resize = false;
};

// The window resize rule. Nothing (the layout stays as it is) while the window's own code is
// resizing it, while it is minimized, or while it is smaller than 400 x 300 pixels.
std::optional<ResizeLayout> ResizeRule(const LayoutSnapshot& s, const WindowState& w, int tx,
                                       int ty);

// The cool bar reported a new height N (twips).
struct CoolBarHeightChange {
  float browser_top = 0;                // always set
  std::optional<float> browser_height;  // set when the browser area follows
  std::optional<float> window_height;   // set when the window follows (in-code resize)
  LayoutSnapshot snapshot;              // the snapshot afterwards
};
// `toolbar` is the browser control's ToolBar property being non-zero. With it, the window keeps
// its size and the browser area shrinks or grows; without it, the window grows or shrinks with
// the bar and the browser area keeps its size.
CoolBarHeightChange CoolBarHeightRule(const LayoutSnapshot& s, float new_height, bool toolbar,
                                      float window_height);

// The cool bar reported that its bands changed; band 4 is now `band4_width` wide. The title
// line and address box widths to set, or nothing when band 4 kept its width.
struct BandChange {
  float job_width = 0;
  float url_width = 0;
};
std::optional<BandChange> BandChangeRule(const LayoutSnapshot& s, float band4_width);

// A rectangle of the screen in pixels.
struct ScreenRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const ScreenRect&) const = default;
};
// Where a restored window goes: where it was stored, unless it would lie entirely off every
// monitor (a monitor since unplugged, an edited value); then centred in the primary monitor's
// work area. With no monitors known it stays where it was stored.
ScreenRect KeepOnScreen(const ScreenRect& window, const std::vector<ScreenRect>& monitors,
                        const ScreenRect& primary_work_area);

}  // namespace tarvik
