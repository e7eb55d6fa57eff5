// Reading a skin's bitmaps. Every picture but the background has the mask colour
// RGB(192, 192, 192) made transparent, as the image lists do.
#pragma once

#include <gdkmm/pixbuf.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tarvik {

// A skin file is read only up to this size, and the 18 pictures of a skin have at most this many
// pixels in all: they are buttons and a background tile, and a generous skin needs a fraction of
// it. Small compressed files can unpack to huge pictures, kept for as long as the window lives.
inline constexpr std::size_t kSkinFileReadLimit = std::size_t{64} << 20;
inline constexpr std::int64_t kSkinPixelBudget = std::int64_t{4} * 1024 * 1024;

// The picture in `path`, or nullptr when it cannot be read as a picture (missing, not a regular
// file, past the file limit or more than `max_pixels`, not a picture, damaged, or a bitmap whose
// pixel data ends before its last row). With `masked`, pixels of the mask colour become
// transparent.
Glib::RefPtr<Gdk::Pixbuf> LoadSkinBitmap(const std::string& path, bool masked = true,
                                         std::int64_t max_pixels = kSkinPixelBudget);

// The 18 pictures of one skin. A picture that was not read is nullptr.
struct SkinPictures {
  std::array<Glib::RefPtr<Gdk::Pixbuf>, 5> toolbar;  // TlbIcon1 to TlbIcon5
  Glib::RefPtr<Gdk::Pixbuf> pocket_empty;            // PktIcon0
  Glib::RefPtr<Gdk::Pixbuf> pocket_full;             // PktIcon1
  std::array<Glib::RefPtr<Gdk::Pixbuf>, 2> mode;     // OprBtnJ, OprBtnD
  std::array<Glib::RefPtr<Gdk::Pixbuf>, 5> nav;      // NavBtn1 to NavBtn5
  std::array<Glib::RefPtr<Gdk::Pixbuf>, 3> dir;      // DirBtn1 to DirBtn3
  Glib::RefPtr<Gdk::Pixbuf> background;              // ClbBack, not masked

  // The path of the first file that could not be read; empty when all 18 were read.
  std::string unreadable_file;
  bool complete() const { return unreadable_file.empty(); }
};

// Reads the pictures of the skin in `folder` (names in any letter case) in the order a window
// takes them: toolbar, pockets, mode, job step buttons, address bar buttons, background. Reading
// stops at the first file that is missing or cannot be read, or that takes the skin past
// kSkinPixelBudget; what was read before it is kept.
SkinPictures LoadSkinPictures(const std::string& folder);

}  // namespace tarvik
