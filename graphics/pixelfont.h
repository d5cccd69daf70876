#pragma once
// A small pixel font (5 x 7 cells, upper-case letters, digits and a few signs) drawn by code, so that
// the generated pictures, the contact sheets and qmtool's sheets of levels carry text without depending on installed fonts.

#include <cstdint>
#include <functional>
#include <string_view>

namespace qm {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;
inline constexpr int kGlyphAdvance = 6; // glyph and one column of space

// Calls plot(x, y) for every lit pixel of text drawn with its top-left corner at (x, y), each font
// pixel scale x scale screen pixels. Lower-case letters are drawn as upper-case; characters the font
// lacks are drawn as a blank.
void forEachTextPixel(std::string_view text, int x, int y, int scale, const std::function<void(int, int)> &plot);

// Width in pixels of text at this scale (no trailing space column).
int textWidth(std::string_view text, int scale);

} // namespace qm
