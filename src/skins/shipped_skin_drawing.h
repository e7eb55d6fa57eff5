// Drawing the skins shipped with Tarvik. The build runs this once, through render_shipped_skins,
// and compiles the bitmap files into Tarvik (shipped_skins.cpp); tests draw them again to compare.
#pragma once

#include <gdkmm/pixbuf.h>

#include <string>
#include <vector>

namespace tarvik::shipped {

struct SkinPicture {
  std::string file;                   // one of kSkinFiles
  Glib::RefPtr<Gdk::Pixbuf> picture;  // RGB, no alpha: what the bitmap file holds
};

// The 18 pictures of the shipped skin `name` ("default" or "Sakura"), in the order of kSkinFiles;
// empty for another name. "default" holds the built-in pictures, "Sakura" the same shapes in
// blossom colours on a background of cherry blossoms. Where a picture is transparent it holds the
// mask colour RGB(192, 192, 192); nowhere else does it.
std::vector<SkinPicture> DrawShippedSkin(const std::string& name);

// `picture` (RGBA) made fit for a skin bitmap: mostly transparent pixels become the mask colour,
// the others are laid over `background` (0xRRGGBB), and an opaque pixel that happens to be the
// mask colour is moved one step lighter.
Glib::RefPtr<Gdk::Pixbuf> FlattenForSkin(const Glib::RefPtr<Gdk::Pixbuf>& picture,
                                         unsigned background);

}  // namespace tarvik::shipped
