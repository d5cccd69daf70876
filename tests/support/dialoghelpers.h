#pragma once
// The one set of helpers of the tests that drive dialogs through real Qt events: typing and clicking
// as the user does, file dialogs answered by script, and the user's steps run inside the next modal
// loop of a dialog. Message boxes are answered through messagelog.h.

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTableWidget>
#include <QString>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

#include "commands/filedialogs.h"
#include "commands/messagebox.h"

#include "messagelog.h"

namespace qmtest {

// Runs the event loop until done() holds or 5 s passed; whether it holds. Qt's QTRY_ macros are not
// used: outside a QTest program a failed one returns from the test without failing it.
inline bool waitUntil(const std::function<bool()> &done)
{
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < 5000)
        QTest::qWait(5);
    return done();
}

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

inline void clickRow(QTableWidget *grid, int row)
{
    QTableWidgetItem *item = grid->item(row, 1);
    ASSERT_NE(item, nullptr);
    grid->scrollToItem(item);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(item).center());
}

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

// Runs the dialog modally with the user's steps inside it; its result.
inline int execWith(QDialog &dialog, std::function<void()> steps)
{
    whenShown(dialog, std::move(steps));
    return dialog.exec();
}

// Runs action once dialog is the modal widget whose loop runs, however deep inside a command it is
// shown with exec(). A dialog that never shows takes the waiting timer with it when it goes.
inline void whenShown(QWidget *dialog, std::function<void()> action)
{
    auto *poll = new QTimer(dialog);
    poll->setInterval(1);
    QObject::connect(poll, &QTimer::timeout, [poll, dialog, action] {
        if (QApplication::activeModalWidget() != dialog)
            return;
        poll->stop();
        poll->deleteLater();
        action();
    });
    poll->start();
}

} // namespace qmtest
