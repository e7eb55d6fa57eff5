// Decoding a skin's bitmap files: the bytes of one file to pixels, through gdk-pixbuf's loaders,
// within a budget of pixels. No display is needed; skin_pictures.h wraps the result for windows.
#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdint>
#include <string>

namespace tarvik {

// Whether `bytes` are a Windows bitmap whose header or colour table runs past the end of the
// file, or an
// uncompressed one whose pixel rows end before the last one (the loader would fill the missing
// rows with black and report success).
bool BitmapEndsEarly(const std::string& bytes);

// The pixels of `bytes` as a new picture the caller owns (g_object_unref), or nullptr when they
// are not a picture, are damaged, end before their last row, or would be larger than
// `max_pixels`. A compressed bitmap of a few megabytes can unpack to gigabytes; its size is
// known once the header is read, and then nothing more is allocated or decoded.
GdkPixbuf* DecodeSkinBitmap(const std::string& bytes, std::int64_t max_pixels);

}  // namespace tarvik
