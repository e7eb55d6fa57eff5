// Texts that come from files (titles, addresses) can be of any length. Where one is only shown
// (a caption, a tooltip, a menu item, a list cell, a question), it is shortened first: laying out
// megabytes of text would stall the window. The data itself is never cut.
#pragma once

#include <cstddef>
#include <string>

namespace tarvik {

inline constexpr std::size_t kDisplayTextLimit = 300;
// A title among others, as in a tooltip or a row of a drop-down: long enough to tell titles
// apart, short enough to keep to a line.
inline constexpr std::size_t kListedTitleLimit = 80;

// At most `max_chars` characters of `utf8`, the last of them "…" when the text was longer. The
// cut falls between characters, never inside one. Bytes that are not UTF-8, and NUL bytes, come out
// as U+FFFD, so the result is always valid UTF-8. Only the part that is kept is read, whatever the
// length.
std::string ShortenForDisplay(const std::string& utf8, std::size_t max_chars = kDisplayTextLimit);

// "ﾌｧｲﾙ(&F)" → "ﾌｧｲﾙ(_F)": the designer's access-key marker in GTK's form.
std::string MnemonicCaption(const std::string& caption);

}  // namespace tarvik
