#pragma once
// Colours as the graphics files and the editor name them.
//
// A TColor is 0x00BBGGRR for a plain colour (red in the low byte). With the top bit set,
// 0x80000000 + n names system colour n, resolved to a fixed table of classic desktop colours when it
// is used (there is no desktop theme to ask on every platform, and the pictures must look the same).

#include <cstdint>
#include <optional>
#include <string_view>

namespace qm {

using TColor = uint32_t;

inline constexpr TColor clBlack = 0x00000000;
inline constexpr TColor clWhite = 0x00FFFFFF;
inline constexpr TColor clFuchsia = 0x00FF00FF;
inline constexpr TColor clBtnFace = 0x8000000F;
inline constexpr TColor clNone = 0x1FFFFFFF;

inline constexpr bool isSystemColor(TColor c) { return (c & 0x80000000u) != 0; }

// A plain colour for any TColor: system colours come from the fixed table (unknown ones are black).
TColor resolveColor(TColor color);

// The value of a colour identifier such as "clRed" or "clBtnFace", letter case ignored.
std::optional<TColor> colorFromIdent(std::string_view ident);

// The identifier of a colour value, if it has one ("clRed" for 0x000000FF).
std::optional<std::string_view> colorToIdent(TColor color);

inline constexpr uint8_t colorRed(TColor c) { return static_cast<uint8_t>(c); }
inline constexpr uint8_t colorGreen(TColor c) { return static_cast<uint8_t>(c >> 8); }
inline constexpr uint8_t colorBlue(TColor c) { return static_cast<uint8_t>(c >> 16); }
inline constexpr TColor rgbColor(uint8_t r, uint8_t g, uint8_t b)
{
    return TColor(r) | TColor(g) << 8 | TColor(b) << 16;
}

} // namespace qm
