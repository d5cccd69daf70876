#include "colors.h"

#include <array>
#include <cctype>

namespace qm {
namespace {

struct NamedColor {
    std::string_view name;
    TColor value;
};

constexpr std::array<NamedColor, 42> kNamedColors{{
    {"clBlack", 0x00000000},        {"clMaroon", 0x00000080},        {"clGreen", 0x00008000},
    {"clOlive", 0x00008080},        {"clNavy", 0x00800000},          {"clPurple", 0x00800080},
    {"clTeal", 0x00808000},         {"clGray", 0x00808080},          {"clSilver", 0x00C0C0C0},
    {"clRed", 0x000000FF},          {"clLime", 0x0000FF00},          {"clYellow", 0x0000FFFF},
    {"clBlue", 0x00FF0000},         {"clFuchsia", 0x00FF00FF},       {"clAqua", 0x00FFFF00},
    {"clWhite", 0x00FFFFFF},        {"clScrollBar", 0x80000000},     {"clBackground", 0x80000001},
    {"clActiveCaption", 0x80000002}, {"clInactiveCaption", 0x80000003}, {"clMenu", 0x80000004},
    {"clWindow", 0x80000005},       {"clWindowFrame", 0x80000006},   {"clMenuText", 0x80000007},
    {"clWindowText", 0x80000008},   {"clCaptionText", 0x80000009},   {"clActiveBorder", 0x8000000A},
    {"clInactiveBorder", 0x8000000B}, {"clAppWorkSpace", 0x8000000C}, {"clHighlight", 0x8000000D},
    {"clHighlightText", 0x8000000E}, {"clBtnFace", 0x8000000F},      {"clBtnShadow", 0x80000010},
    {"clGrayText", 0x80000011},     {"clBtnText", 0x80000012},       {"clInactiveCaptionText", 0x80000013},
    {"clBtnHighlight", 0x80000014}, {"cl3DDkShadow", 0x80000015},    {"cl3DLight", 0x80000016},
    {"clInfoText", 0x80000017},     {"clInfoBk", 0x80000018},        {"clNone", 0x1FFFFFFF},
}};

// The classic desktop colours, as 0x00BBGGRR, by system colour number.
constexpr std::array<TColor, 25> kSystemColors{{
    0x00C0C0C0, // scroll bar
    0x00808000, // desktop background (teal)
    0x00800000, // active caption (navy)
    0x00808080, // inactive caption
    0x00C0C0C0, // menu
    0x00FFFFFF, // window
    0x00000000, // window frame
    0x00000000, // menu text
    0x00000000, // window text
    0x00FFFFFF, // caption text
    0x00C0C0C0, // active border
    0x00C0C0C0, // inactive border
    0x00808080, // application workspace
    0x00800000, // highlight
    0x00FFFFFF, // highlight text
    0x00C0C0C0, // button face
    0x00808080, // button shadow
    0x00808080, // grey text
    0x00000000, // button text
    0x00C0C0C0, // inactive caption text
    0x00FFFFFF, // button highlight
    0x00000000, // 3-D dark shadow
    0x00DFDFDF, // 3-D light
    0x00000000, // tooltip text
    0x00E1FFFF, // tooltip background
}};

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

TColor resolveColor(TColor color)
{
    if (!isSystemColor(color))
        return color;
    uint32_t n = color & 0x7FFFFFFFu;
    return n < kSystemColors.size() ? kSystemColors[n] : clBlack;
}

std::optional<TColor> colorFromIdent(std::string_view ident)
{
    for (const NamedColor &c : kNamedColors)
        if (equalsIgnoringCase(c.name, ident))
            return c.value;
    return std::nullopt;
}

std::optional<std::string_view> colorToIdent(TColor color)
{
    for (const NamedColor &c : kNamedColors)
        if (c.value == color)
            return c.name;
    return std::nullopt;
}

} // namespace qm
