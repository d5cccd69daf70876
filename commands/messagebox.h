#pragma once
// The editor's standard message boxes: a fixed text, a kind that gives the caption and icon, and a
// fixed set of buttons. Tests answer them by script instead of showing them.

#include <QString>
#include <functional>

class QWidget;

namespace qm {

enum class MessageKind { Error, Information, Confirm };

enum class MessageButton { Yes, No, Ok, Cancel, Recover, Discard, Later };

enum class MessageButtons {
    Ok,          // "OK"
    Cancel,      // "Cancel" only (some error boxes)
    YesNoCancel, // "&Yes", "&No", "Cancel"
    YesNo,       // "&Yes", "&No" (closing the box counts as No)
    RecoverDiscardLater, // "&Recover", "&Discard", "&Later" (closing the box counts as Later)
};

// Shows the box modally and returns the button pressed (closing the box counts as Cancel, OK where
// OK is the only button, No where there is no Cancel, Later for the recovery question).
MessageButton showMessage(MessageKind kind, const QString &text, MessageButtons buttons, QWidget *parent = nullptr);

// An error box with an OK button: how a failed command reports its error.
void showError(const QString &text, QWidget *parent = nullptr);

// Test hook: while set, every box is answered by the responder instead of being shown.
using MessageResponder = std::function<MessageButton(MessageKind kind, const QString &text, MessageButtons buttons)>;
void setMessageResponder(MessageResponder responder);

} // namespace qm
