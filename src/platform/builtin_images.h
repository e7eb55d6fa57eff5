// The pictures Tarvik is designed with, drawn in code at their designed sizes (builtin_drawing.h)
// when Tarvik is built, and compiled into it. A window shows them until a skin replaces them.
//
// Each picture is wrapped once, on first use, and the same pixbuf is returned afterwards. Its
// pixels are read-only: callers must copy a picture before changing it, and call these on the
// GUI thread only. An index outside a function's range gives nullptr. No built-in picture
// contains the mask colour RGB(192, 192, 192), so adding one to an ImageList never makes holes
// in it.
#pragma once

#include <gdkmm/pixbuf.h>

#include <vector>

namespace Gdk {
class Cursor;
class Display;
}  // namespace Gdk

namespace tarvik::builtin {

// Each picture with the size it is drawn at, in pixels. The glyphs of the job step buttons
// (25 x 24) and the address bar buttons (cmdMove 57 x 26, the favorites buttons 42 x 26) leave
// room for the button's frame.

// Toolbar images 1 to 5: stop, refresh, home, back, forward.
inline constexpr int kToolbarImageSize = 32;
Glib::RefPtr<Gdk::Pixbuf> ToolbarImage(int index);
// Pocket images: "Empty" (full = false) and "Full".
inline constexpr int kPocketImageSize = 32;
Glib::RefPtr<Gdk::Pixbuf> PocketImage(bool full);
// Mode pictures: 1 job mode, 2 direct mode.
inline constexpr int kModeImageWidth = 75;
inline constexpr int kModeImageHeight = 25;
Glib::RefPtr<Gdk::Pixbuf> ModeImage(int mode);
// The job step buttons cmdNav(0) to cmdNav(4): first, previous, next, last, list.
inline constexpr int kNavButtonImageSize = 16;
Glib::RefPtr<Gdk::Pixbuf> NavButtonImage(int index);
// The address bar buttons 1 to 3: go (cmdMove, kGoImage*), open favorite (cmdOpFav), add
// favorite (cmdSvFav) (kFavoriteImageSize).
inline constexpr int kGoImageWidth = 44;
inline constexpr int kGoImageHeight = 18;
inline constexpr int kFavoriteImageSize = 18;
Glib::RefPtr<Gdk::Pixbuf> DirButtonImage(int index);
// The cool bar's background tile.
inline constexpr int kCoolBarTileSize = 64;
Glib::RefPtr<Gdk::Pixbuf> CoolBarBackground();
// The window icon (and smaller sizes scaled from it).
inline constexpr int kWindowIconSize = 48;
Glib::RefPtr<Gdk::Pixbuf> WindowIcon();
// The window icon drawn at 16, 24, 32 and 48 pixels, for Gtk::Window::set_icon_list.
std::vector<Glib::RefPtr<Gdk::Pixbuf>> WindowIconList();
// The pointer shown over the pockets.
Glib::RefPtr<Gdk::Cursor> PocketCursor(const Glib::RefPtr<Gdk::Display>& display);
// The picture of that pointer, with its hot spot at the tip of its arrow.
inline constexpr int kPocketCursorSize = 32;
inline constexpr int kPocketCursorHotX = 1;
inline constexpr int kPocketCursorHotY = 1;
Glib::RefPtr<Gdk::Pixbuf> PocketCursorImage();

}  // namespace tarvik::builtin
