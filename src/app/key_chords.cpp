#include "app/key_chords.h"

#include <gdk/gdk.h>

namespace tarvik {

std::vector<KeyChord> KeyChordsOf(const std::string& shortcut) {
  Gdk::ModifierType mods{};
  size_t start = 0;
  for (size_t plus = shortcut.find('+'); plus != std::string::npos && plus + 1 < shortcut.size();
       plus = shortcut.find('+', start)) {
    const std::string name = shortcut.substr(start, plus - start);
    if (name == "Ctrl") mods |= Gdk::CONTROL_MASK;
    if (name == "Shift") mods |= Gdk::SHIFT_MASK;
    if (name == "Alt") mods |= Gdk::MOD1_MASK;
    start = plus + 1;
  }
  const guint key = gdk_keyval_to_lower(gdk_keyval_from_name(shortcut.substr(start).c_str()));
  if (key == 0 || key == GDK_KEY_VoidSymbol) return {};
  std::vector<KeyChord> chords = {{key, mods}};
  auto also = [&](guint other) { chords.push_back({other, mods}); };
  if (key == GDK_KEY_plus) {
    also(GDK_KEY_equal);
    also(GDK_KEY_KP_Add);
  }
  if (key == GDK_KEY_minus) also(GDK_KEY_KP_Subtract);
  if (key == GDK_KEY_0) also(GDK_KEY_KP_0);
  return chords;
}

}  // namespace tarvik
