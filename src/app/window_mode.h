// The main window's two modes: the job bar steps through a job, the address bar opens any
// address. Their numbers are the ones the "Mode" setting stores and the skins' mode pictures
// are listed by.
#pragma once

namespace tarvik {

enum class Mode { Job = 1, Direct = 2 };

inline Mode OtherMode(Mode mode) { return mode == Mode::Job ? Mode::Direct : Mode::Job; }
inline int ModeNumber(Mode mode) { return static_cast<int>(mode); }
// The stored number's mode; job mode for a number that is neither.
inline Mode ModeFromNumber(int number) { return number == 2 ? Mode::Direct : Mode::Job; }

}  // namespace tarvik
