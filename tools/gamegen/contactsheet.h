#pragma once
// Contact sheets: every picture of a graphics file drawn through the program's own reader, image
// list and surfaces (so the sheet shows what the editor will show), each under its index and name,
// written as a PNG image.

#include <string>

namespace qm::gamegen {

// Draws every picture of dxgPath with all its patterns in place, over a checkerboard that shows the
// transparent pixels. For "Editor.dxg" the sheet also shows the panel over eight rows of slots as the
// editor composes them. Throws qm::Error when the file cannot be read or the image not written.
void writeContactSheet(const std::string &dxgPath, const std::string &pngPath);

} // namespace qm::gamegen
