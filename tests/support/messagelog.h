#pragma once
// Message boxes answered by script in the tests: every box gets its first button (OK, Cancel, or
// Yes), and what it showed is recorded.

#include "commands/messagebox.h"

#include <QString>
#include <string>
#include <vector>

namespace qmtest {

class MessageLog {
public:
    struct Entry {
        qm::MessageKind kind;
        std::string text;
        qm::MessageButtons buttons;
    };

    MessageLog()
    {
        qm::setMessageResponder([this](qm::MessageKind kind, const QString &text, qm::MessageButtons buttons) {
            entries.push_back({kind, text.toStdString(), buttons});
            switch (buttons) {
            case qm::MessageButtons::Ok:
                return qm::MessageButton::Ok;
            case qm::MessageButtons::Cancel:
                return qm::MessageButton::Cancel;
            case qm::MessageButtons::YesNoCancel:
            case qm::MessageButtons::YesNo:
                break;
            case qm::MessageButtons::RecoverDiscardLater:
                return qm::MessageButton::Recover;
            }
            return qm::MessageButton::Yes;
        });
    }
    ~MessageLog() { qm::setMessageResponder({}); }

    std::vector<std::string> texts() const
    {
        std::vector<std::string> result;
        for (const Entry &e : entries)
            result.push_back(e.text);
        return result;
    }
    void clear() { entries.clear(); }

    std::vector<Entry> entries;
};

} // namespace qmtest
