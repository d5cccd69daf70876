#pragma once
// Shared by the dialog tests: message boxes and file dialogs answered by script, and the user's steps
// run inside the next modal loop of a dialog.

#include <QDialog>
#include <QPushButton>
#include <QString>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

#include "commands/filedialogs.h"

#include "messagelog.h"
#include "commands/messagebox.h"

namespace qmtest {


// Answers every file dialog with a chosen path (empty: cancelled) and records the requests.
class FileDialogScript {
public:
    FileDialogScript()
    {
        qm::setFileDialogResponder([this](const qm::FileDialogRequest &request) {
            requests.push_back(request);
            return answer;
        });
    }
    ~FileDialogScript() { qm::setFileDialogResponder({}); }

    QString answer;
    std::vector<qm::FileDialogRequest> requests;
};

inline void click(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

// Replaces the text of an edit as the user does: select all, then type (or erase).
inline void typeInto(QWidget *edit, const QString &text)
{
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        QTest::keyClicks(edit, text);
}

// Runs the user's steps inside the next modal loop of the dialog. Steps that leave it open fail the
// test and close it, so that a test never hangs; shown counts the showings.
inline void whenShown(QDialog &dialog, std::function<void()> steps, int *shown = nullptr)
{
    QTimer::singleShot(0, &dialog, [&dialog, steps, shown] {
        if (!dialog.isVisible()) {
            ADD_FAILURE() << "the dialog was not shown";
            return;
        }
        if (shown)
            ++*shown;
        steps();
        if (dialog.isVisible()) {
            ADD_FAILURE() << "the dialog is still open after the user's steps";
            dialog.reject();
        }
    });
}

} // namespace qmtest
