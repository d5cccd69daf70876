#include "messagebox.h"

#include <QMessageBox>
#include <QPushButton>

namespace qm {

namespace {

MessageResponder &responder()
{
    static MessageResponder instance;
    return instance;
}

} // namespace

void setMessageResponder(MessageResponder r) { responder() = std::move(r); }

MessageButton showMessage(MessageKind kind, const QString &text, MessageButtons buttons, QWidget *parent)
{
    if (responder())
        return responder()(kind, text, buttons);

    QMessageBox box(parent);
    switch (kind) {
    case MessageKind::Error:
        box.setWindowTitle("Error");
        box.setIcon(QMessageBox::Critical);
        break;
    case MessageKind::Information:
        box.setWindowTitle("Information");
        box.setIcon(QMessageBox::Information);
        break;
    case MessageKind::Confirm:
        box.setWindowTitle("Confirm");
        box.setIcon(QMessageBox::Question);
        break;
    }
    box.setText(text);
    QPushButton *yes = nullptr, *no = nullptr, *ok = nullptr, *cancel = nullptr, *recover = nullptr,
                *discard = nullptr, *later = nullptr;
    switch (buttons) {
    case MessageButtons::Ok:
        ok = box.addButton("OK", QMessageBox::AcceptRole);
        box.setEscapeButton(ok);
        break;
    case MessageButtons::Cancel:
        cancel = box.addButton("Cancel", QMessageBox::RejectRole);
        box.setEscapeButton(cancel);
        break;
    case MessageButtons::YesNoCancel:
        yes = box.addButton("&Yes", QMessageBox::YesRole);
        no = box.addButton("&No", QMessageBox::NoRole);
        cancel = box.addButton("Cancel", QMessageBox::RejectRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(cancel);
        break;
    case MessageButtons::YesNo:
        yes = box.addButton("&Yes", QMessageBox::YesRole);
        no = box.addButton("&No", QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        break;
    case MessageButtons::RecoverDiscardLater:
        recover = box.addButton("&Recover", QMessageBox::AcceptRole);
        discard = box.addButton("&Discard", QMessageBox::DestructiveRole);
        later = box.addButton("&Later", QMessageBox::RejectRole);
        box.setDefaultButton(recover);
        box.setEscapeButton(later);
        break;
    }
    box.exec();
    QAbstractButton *pressed = box.clickedButton();
    if (pressed && pressed == yes)
        return MessageButton::Yes;
    if (pressed && pressed == no)
        return MessageButton::No;
    if (pressed && pressed == ok)
        return MessageButton::Ok;
    if (pressed && pressed == recover)
        return MessageButton::Recover;
    if (pressed && pressed == discard)
        return MessageButton::Discard;
    switch (buttons) {
    case MessageButtons::Ok:
        return MessageButton::Ok;
    case MessageButtons::RecoverDiscardLater:
        return MessageButton::Later;
    case MessageButtons::YesNo:
        return MessageButton::No;
    default:
        return MessageButton::Cancel;
    }
}

void showError(const QString &text, QWidget *parent)
{
    showMessage(MessageKind::Error, text, MessageButtons::Ok, parent);
}

} // namespace qm
