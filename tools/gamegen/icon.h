#pragma once
// The program's icon for the desktop: a mossy tile grid with a quill over it, drawn by code at any
// size (vectors, so each size is sharp).

#include <QImage>

#include <string>

namespace qm::gamegen {

inline constexpr int kIconSizes[] = {48, 128, 256};

// The icon at size x size pixels, transparent around its rounded square.
QImage drawIcon(int size);

// Writes DIR/<n>x<n>/apps/quillmoss-editor.png for every size in kIconSizes (the layout of an icon
// theme's folder).
void writeIcons(const std::string &dir);

} // namespace qm::gamegen
