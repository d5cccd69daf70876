#pragma once
// Whole numbers typed by the user or held in text files.

#include <cstdint>
#include <string>

namespace qm {

// Converts a decimal integer (leading blanks and a sign allowed, nothing after the digits) to a signed
// 32-bit value; anything else throws EConvertError "'%s' is not a valid integer value".
int32_t strToInt(const std::string &text);

} // namespace qm
