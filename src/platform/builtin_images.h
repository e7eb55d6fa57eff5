// The pictures Tarvik is designed with, drawn in code at their designed sizes. A window shows
// them until a skin replaces them.
#pragma once

#include <gdkmm/cursor.h>
#include <gdkmm/pixbuf.h>

namespace tarvik::builtin {

// Toolbar images 1 to 5, 32 x 32: stop, refresh, home, back, forward.
Glib::RefPtr<Gdk::Pixbuf> ToolbarImage(int index);
// Pocket images, 32 x 32: "Empty" (full = false) and "Full".
Glib::RefPtr<Gdk::Pixbuf> PocketImage(bool full);
// Mode pictures, 75 x 25: 1 job mode, 2 direct mode.
Glib::RefPtr<Gdk::Pixbuf> ModeImage(int mode);
// The job step buttons cmdNav(0) to cmdNav(4): first, previous, next, last, list.
Glib::RefPtr<Gdk::Pixbuf> NavButtonImage(int index);
// The address bar buttons 1 to 3: go (cmdMove), open favorite (cmdOpFav), add favorite (cmdSvFav).
Glib::RefPtr<Gdk::Pixbuf> DirButtonImage(int index);
// The cool bar's background tile.
Glib::RefPtr<Gdk::Pixbuf> CoolBarBackground();
// The window icon, 48 x 48 (and smaller sizes scaled from it).
Glib::RefPtr<Gdk::Pixbuf> WindowIcon();
// The pointer shown over the pockets.
Glib::RefPtr<Gdk::Cursor> PocketCursor(const Glib::RefPtr<Gdk::Display>& display);

}  // namespace tarvik::builtin
