// The recovery question's box, shown for real: each of its three buttons, and closing it, which
// keeps the copy for later.

#include "commands/messagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using qm::MessageButton;

// Shows the box and, once it runs, presses the button captioned `caption` (empty: Escape).
MessageButton answerWith(const QString &caption, QStringList *captions)
{
    QTimer::singleShot(0, [caption, captions] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            ADD_FAILURE() << "no box shown";
            return;
        }
        for (QAbstractButton *button : box->buttons())
            *captions << button->text();
        if (caption.isEmpty()) {
            QTest::keyClick(box, Qt::Key_Escape);
            return;
        }
        for (QAbstractButton *button : box->buttons())
            if (button->text() == caption)
                QTest::mouseClick(button, Qt::LeftButton);
    });
    return qm::showMessage(qm::MessageKind::Confirm, "Unsaved work from now was found. Recover it?",
                           qm::MessageButtons::RecoverDiscardLater);
}

TEST(RecoveryQuestionBox, EachButtonAnswersForItselfAndClosingTheBoxMeansLater)
{
    QStringList captions;
    EXPECT_EQ(answerWith("&Recover", &captions), MessageButton::Recover);
    captions.sort();
    EXPECT_EQ(captions, QStringList({"&Discard", "&Later", "&Recover"}));
    EXPECT_EQ(answerWith("&Discard", &captions), MessageButton::Discard);
    EXPECT_EQ(answerWith("&Later", &captions), MessageButton::Later);
    EXPECT_EQ(answerWith("", &captions), MessageButton::Later);
}

} // namespace
