#pragma once
// The main window on a game directory of synthetic pictures, driven through real Qt events; every
// message box and file dialog is answered by the test and remembered.

#include "editor/qmeditorunit1.h"

#include "commands/filedialogs.h"
#include "commands/messagebox.h"
#include "levels/gameconfig.h"
#include "levels/levelstore.h"

#include "dialoghelpers.h"
#include "framepictures.h"
#include "tempdir.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <gtest/gtest.h>

namespace qmtest {

using namespace qm;


class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeGameDirectory(true);
        initStore();
        initGameConfig();
        setMessageResponder([this](MessageKind, const QString &text, MessageButtons) {
            messages.push_back(text);
            if (!answers.empty()) {
                MessageButton next = answers.front();
                answers.pop_front();
                return next;
            }
            return answer;
        });
        setFileDialogResponder([this](const FileDialogRequest &request) {
            fileDialogs.push_back(request);
            QString next = fileAnswers.empty() ? QString() : fileAnswers.front();
            if (!fileAnswers.empty())
                fileAnswers.pop_front();
            return next;
        });
        form = std::make_unique<TMainForm>(QString::fromStdString(dir.path("settings.ini")),
                                           QString::fromStdString(dir.path() + "/"), recoveryDirectory());
        form->show();
        // The window makes its dialogs once it is exposed.
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override
    {
        form.reset();
        setMessageResponder(nullptr);
        setFileDialogResponder(nullptr);
    }

    void writeGameDirectory(bool withEditorPictures)
    {
        if (withEditorPictures)
            qmtest::writeFile(dir.path("Editor.dxg"), qmtest::syntheticEditor());
        qmtest::writeFile(dir.path("computer.dxg"), qmtest::syntheticTheme());
        initGameConfig();
        writegameconfig(dir.path("Quillmoss.Cfg"));
    }

    QString recoveryDirectory() const { return QString::fromStdString(dir.path("recovery")); }

    // A file with one level of the given size, shown as after Open and Edit.
    void openLevel(int width = 40, int height = 40)
    {
        levelsinfo = Tlevels{};
        resetstore();
        curlevel = 1;
        addlevel();
        levels[1].width = width;
        levels[1].height = height;
        saved = true;
        form->startEditing();
        form->enablefilemenus();
    }

    // The window's menu items and dialogs, found as Qt finds them: by object name and by type.
    QAction *item(const char *name) const
    {
        QAction *action = form->findChild<QAction *>(name);
        EXPECT_NE(action, nullptr) << name;
        return action;
    }
    template <typename Dialog> Dialog *dialog() const
    {
        Dialog *found = form->findChild<Dialog *>();
        EXPECT_NE(found, nullptr);
        return found;
    }

    QWidget *surface() const { return form->DXDraw; }
    void press(int x, int y, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(surface(), button, {}, QPoint(x, y));
    }
    void release(int x, int y, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseRelease(surface(), button, {}, QPoint(x, y));
    }
    void move(int x, int y) { QTest::mouseMove(surface(), QPoint(x, y)); }
    void click(int x, int y)
    {
        move(x, y);
        press(x, y);
        release(x, y);
    }
    // Picks tile from the palette, scrolling it as needed.
    void pickTile(int tile)
    {
        const int row = (tile - 12) / 3, column = (tile - 12) % 3;
        while (row < palscroll)
            click(700, 90);
        while (row > palscroll + 7)
            click(700, 430);
        click(640 + 40 * column + 20, 100 + 40 * (row - palscroll) + 20);
        ASSERT_EQ(selectedtile(), tile);
    }
    // The default game directory's theme, whose strips and blocks have the widths painting looks for.
    void useDefaultTheme()
    {
        std::filesystem::copy_file(std::string(QM_GAME_DIR) + "/computer.dxg", dir.path("computer.dxg"),
                                   std::filesystem::copy_options::overwrite_existing);
    }
    static cell at(int r, int c) { return *levels[curlevel].cellAt(r, c); }

    TempDir dir;
    std::unique_ptr<TMainForm> form;
    std::vector<QString> messages;
    MessageButton answer = MessageButton::Ok;  // the answer to every box
    std::deque<MessageButton> answers;         // answers to the next boxes, before `answer`
    std::vector<FileDialogRequest> fileDialogs;
    std::deque<QString> fileAnswers;           // chosen files, in order; then every dialog is cancelled
};


} // namespace qmtest
