#pragma once
// The editor's own pictures ("Editor.dxg"), found by name: the palette slot, the panel over the
// palette, the frame around the carried tile and the pointers.

#include "graphics/componentwriter.h"
#include "levels/palette.h"

#include <vector>

namespace qm::gamegen {

// Where the panel's parts lie, in panel pixels (the panel is drawn at surface (640, 0)).
inline constexpr int kPanelWidth = 121;
inline constexpr int kPanelHeight = 483;
inline constexpr int kSlotSize = 40;
inline constexpr int kSlotPitch = 41;
inline constexpr int kSlotLeft = 1;  // surface x 641
inline constexpr int kSlotTop = 97;
inline constexpr int kSlotColumns = kPaletteColumns;
inline constexpr int kSlotRows = kPaletteRowsShown;

// "p", "fondtop", "mousex", "mouseup", "mousedown", "mouseleft", "mouseright", "mouse", in this order.
std::vector<PictureEntry> editorPictures();

} // namespace qm::gamegen
