#include "errors.h"

namespace qm {

std::string formatMessage(const std::string &pattern, std::initializer_list<std::string> values)
{
    std::string out;
    auto next = values.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size()
            && (pattern[i + 1] == 's' || pattern[i + 1] == 'd') && next != values.end()) {
            out += *next++;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

} // namespace qm
