// The keys of a command as the menu table writes them ("Ctrl+U", "Ctrl+Shift+P", "F3",
// "Alt+Page_Down", "Ctrl+plus"): modifiers joined by "+", then a key by its GDK name. A key
// that keyboards give in more than one place also takes its other places (Ctrl+plus: also
// Ctrl+= and the keypad's +), after the one shown.
#pragma once

#include <gdkmm/types.h>

#include <string>
#include <vector>

namespace tarvik {

struct KeyChord {
  guint key = 0;
  Gdk::ModifierType mods{};
};

std::vector<KeyChord> KeyChordsOf(const std::string& shortcut);

}  // namespace tarvik
