// Drawing the built-in pictures in code. The build runs this once, through
// render_builtin_pictures, and compiles the pixels into Tarvik (builtin_images.cpp), so a start
// of the program draws nothing; tests draw them again to compare.
#pragma once

#include <gdkmm/pixbuf.h>

#include "platform/builtin_images.h"

namespace tarvik::builtin {

// Every built-in picture, in the order of the compiled table.
enum class Picture : int {
  kStop,
  kRefresh,
  kHome,
  kBack,
  kForward,  // the toolbar, images 1 to 5
  kPocketEmpty,
  kPocketFull,  // the pockets
  kModeJob,
  kModeDirect,  // the mode pictures 1 and 2
  kNavFirst,
  kNavPrevious,
  kNavNext,
  kNavLast,
  kNavList,  // the job step buttons
  kGo,
  kOpenFavorite,
  kAddFavorite,  // the address bar buttons
  kCoolBarTile,  // the cool bar's background
  kIcon16,
  kIcon24,
  kIcon32,
  kIcon48,        // the window icon
  kPocketCursor,  // the pointer over the pockets
  kCount
};

struct PictureSize {
  int width;
  int height;
};

PictureSize SizeOf(Picture picture);

// Makes the wrappers of gdkmm and pangomm ready, without GTK and without opening a display: what
// a build step that only draws needs before it draws.
void InitDrawing();

// Draws the picture: RGBA, 8 bits a channel, never holding the mask colour RGB(192, 192, 192).
// Needs no display. nullptr for kCount.
Glib::RefPtr<Gdk::Pixbuf> DrawPicture(Picture picture);

// The icons the desktop shows for Tarvik and for its job files, drawn at `size` x `size` pixels
// (the desktop's icon theme wants them from 16 to 256). nullptr for a size below 1.
Glib::RefPtr<Gdk::Pixbuf> DrawApplicationIcon(int size);
Glib::RefPtr<Gdk::Pixbuf> DrawJobFileIcon(int size);

}  // namespace tarvik::builtin
