#pragma once
// The message of the program's error that an action raises, or "(no error)".

#include "platform/errors.h"

#include <functional>
#include <string>

namespace qmtest {

inline std::string messageOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const qm::Error &e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace qmtest
