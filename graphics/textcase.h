#pragma once
// Letter case of the 8-bit names in graphics files. Names are Latin-1 text: ASCII letters and the
// accented capitals 0xC0 to 0xDE (except 0xD7, the multiplication sign) have lower-case partners.

#include <string>
#include <string_view>

namespace qm {

constexpr unsigned char lowerLatin1(unsigned char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<unsigned char>(c + 0x20);
    return c;
}

inline bool sameTextIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerLatin1(static_cast<unsigned char>(a[i])) != lowerLatin1(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

inline std::string lowerText(std::string_view s)
{
    std::string out(s);
    for (char &c : out)
        c = static_cast<char>(lowerLatin1(static_cast<unsigned char>(c)));
    return out;
}

} // namespace qm
