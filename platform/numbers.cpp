#include "numbers.h"

#include "errors.h"

namespace qm {

int32_t strToInt(const std::string &text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int64_t value = 0;
    size_t digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        value = value * 10 + (text[i] - '0');
        if (value > int64_t(INT32_MAX) + 1)
            break;
    }
    int64_t signedValue = negative ? -value : value;
    if (digits == 0 || i != text.size() || signedValue < INT32_MIN || signedValue > INT32_MAX)
        throw EConvertError(formatMessage("'%s' is not a valid integer value", {text}));
    return static_cast<int32_t>(signedValue);
}

} // namespace qm
