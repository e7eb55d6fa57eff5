#include "browse/pockets.h"

namespace tarvik {

namespace {

bool ValidIndex(int index) { return index >= 0 && index < kPocketCount; }

}  // namespace

std::optional<MouseButton> PocketButton(unsigned button_number) {
  switch (button_number) {
    case 1: return MouseButton::kLeft;
    case 2: return MouseButton::kMiddle;
    case 3: return MouseButton::kRight;
    default: return std::nullopt;
  }
}

const char* PocketImageKey(const Pocket& pocket) { return pocket.full ? "Full" : "Empty"; }

PocketCommand ReleaseOnPocket(Pockets& pockets, int index, MouseButton button,
                              const CurrentPage& page) {
  if (!ValidIndex(index)) return {};
  Pocket& pocket = pockets[static_cast<std::size_t>(index)];
  if (button == MouseButton::kRight) {
    if (!pocket.full) return {};
    pocket = Pocket{};
    return {PocketCommand::Kind::kShowEmpty, "", ""};
  }
  if (pocket.full) return {PocketCommand::Kind::kNavigate, pocket.url, ""};
  // With no page shown both texts are empty, and the pocket still becomes full: opening it later
  // navigates to the empty address, as the browser does for an empty address box.
  pocket = Pocket{true, page.name, page.url};
  return {PocketCommand::Kind::kShowFull, "", page.name};
}

PocketCommand ClearPocket(Pockets& pockets, int index) {
  if (!ValidIndex(index)) return {};
  pockets[static_cast<std::size_t>(index)] = Pocket{};
  return {PocketCommand::Kind::kShowEmpty, "", ""};
}

void ClearAllPockets(Pockets& pockets) {
  for (int i = 0; i < kPocketCount; ++i) ClearPocket(pockets, i);
}

std::optional<Pockets> ClearAllPocketsForUndo(Pockets& pockets) {
  const Pockets before = pockets;
  ClearAllPockets(pockets);
  if (before == pockets) return std::nullopt;
  return before;
}

bool RestorePockets(Pockets& pockets, const Pockets& before) {
  bool changed = false;
  for (std::size_t i = 0; i < pockets.size(); ++i) {
    if (!before[i].full || pockets[i].full) continue;
    pockets[i] = before[i];
    changed = true;
  }
  return changed;
}

}  // namespace tarvik
