// The three pockets of a main window: one-click slots that store the page being shown and open it
// again. What a click does is decided here; the window only shows the result and runs the command.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace tarvik {

inline constexpr int kPocketCount = 3;

struct Pocket {
  bool full = false;
  std::string title;  // the page title stored with the pocket
  std::string url;    // the page address stored with the pocket

  bool operator==(const Pocket&) const = default;
};

// Indices 0 to 2, as the pocket pictures picPocket(0) to picPocket(2).
using Pockets = std::array<Pocket, kPocketCount>;

enum class MouseButton { kLeft, kMiddle, kRight };

// The page the browser shows: LocationName and LocationURL.
struct CurrentPage {
  std::string name;
  std::string url;
};

// The pocket button of a pointer button number as X11 and GDK count them: 1 left, 2 middle,
// 3 right. Other buttons (the wheel, back and forward) are no pocket click: nothing.
std::optional<MouseButton> PocketButton(unsigned button_number);

// What the window does after a click on a pocket.
struct PocketCommand {
  enum class Kind {
    kNone,       // nothing happens
    kNavigate,   // Navigate(url); the picture stays as it is
    kShowFull,   // show the image "Full" with `tooltip`
    kShowEmpty,  // show the image "Empty" with an empty tooltip
  };
  Kind kind = Kind::kNone;
  std::string url;      // for kNavigate
  std::string tooltip;  // for kShowFull

  bool operator==(const PocketCommand&) const = default;
};

// The image key of a pocket picture for a pocket in that state: "Full" or "Empty".
const char* PocketImageKey(const Pocket& pocket);

// A mouse button released over pocket `index` (0 to 2). The right button empties a full pocket;
// the others open a full pocket's page, or store `page` in an empty pocket. A full pocket is never
// overwritten. An index outside 0 to 2 does nothing.
PocketCommand ReleaseOnPocket(Pockets& pockets, int index, MouseButton button,
                              const CurrentPage& page);

// Empties pocket `index`, full or not; the window shows "Empty" with no tooltip.
PocketCommand ClearPocket(Pockets& pockets, int index);
// Empties pockets 0, 1 and 2 in that order.
void ClearAllPockets(Pockets& pockets);

// "すべて" under "ｸﾘｱ" has Ctrl+P, the print key of other programs: one press must lose nothing.
// The window offers to take the clearing back, for kPocketUndoSeconds, in its status bar.
inline constexpr char kPocketsClearedNotice[] = "ポケットを空にしました";
inline constexpr char kUndoAction[] = "元に戻す";
inline constexpr int kPocketUndoSeconds = 10;
// Empties every pocket and returns them as they were, for the undo; nothing when none was full,
// as then nothing was lost (and an undo still offered for an earlier clearing stays valid).
std::optional<Pockets> ClearAllPocketsForUndo(Pockets& pockets);
// The undo: every pocket full in `before` and empty now gets its page back; a pocket filled
// since the clearing keeps its new page. Returns whether any pocket changed.
bool RestorePockets(Pockets& pockets, const Pockets& before);

}  // namespace tarvik
