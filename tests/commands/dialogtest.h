#pragma once
// Shared by the tests of the dialogs: one application object, message boxes answered by script,
// a store filled with named levels, a game directory with graphics files, and input helpers that
// go through real Qt events.

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

#include "commands/messagebox.h"
#include "levels/levelstore.h"
#include "messagelog.h"
#include "tempdir.h"

namespace qmtest {

// The application object that widgets need, made once for the whole test program.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (!QApplication::instance()) {
            static int argc = 1;
            static char name[] = "commands_tests";
            static char *argv[] = {name, nullptr};
            m_app = new QApplication(argc, argv);
        }
    }
    void TearDown() override
    {
        delete m_app;
        m_app = nullptr;
    }

private:
    QApplication *m_app = nullptr;
};

inline ::testing::Environment *const qtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);


// A store holding count levels named "Level 1", "Level 2", ... with level 1 current, and a game
// directory holding the four theme files.
class StoreFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        qm::initstore();
        qm::gamedir = m_gamedir.path() + "/";
        for (const char *name : {"computer.dxg", "forest.dxg", "underground.dxg", "kitchen.dxg"})
            writeFile(m_gamedir.path(name), std::string("graphics"));
    }

    static void fillStore(int count, int current = 1)
    {
        qm::resetstore();
        qm::levelsinfo.count = 0;
        for (int k = 1; k <= count; ++k) {
            qm::addlevel();
            qm::levels[k].name = "Level " + std::to_string(k);
        }
        qm::prevlevel = 1;
        qm::curlevel = current;
        qm::saved = true;
    }

    static std::vector<std::string> levelNames()
    {
        std::vector<std::string> names;
        for (int k = 1; k <= qm::levelsinfo.count; ++k)
            names.push_back(qm::levels[k].name);
        return names;
    }

    TempDir m_gamedir;
    MessageLog m_messages;
};

// Replaces the text of an edit as the user does: select all, then type (or erase).
inline void typeInto(QWidget *edit, const QString &text)
{
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        QTest::keyClicks(edit, text);
}

inline void click(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

inline void clickRow(QTableWidget *grid, int row)
{
    QTableWidgetItem *item = grid->item(row, 1);
    ASSERT_NE(item, nullptr);
    grid->scrollToItem(item);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(item).center());
}

// Has the user act in steps inside the next modal run of the dialog (its exec() loop). Steps that
// leave the dialog open fail the test and close it, so a test never hangs.
inline void whenShown(QDialog &dialog, std::function<void()> steps)
{
    QTimer::singleShot(0, &dialog, [&dialog, steps] {
        if (!dialog.isVisible()) {
            ADD_FAILURE() << "the dialog was not shown";
            return;
        }
        steps();
        if (dialog.isVisible()) {
            ADD_FAILURE() << "the dialog is still open after the user's steps";
            dialog.reject();
        }
    });
}

inline int execWith(QDialog &dialog, std::function<void()> steps)
{
    whenShown(dialog, std::move(steps));
    return dialog.exec();
}

} // namespace qmtest
