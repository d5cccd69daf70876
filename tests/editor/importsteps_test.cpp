// Importing several Supaplex levels through the window: the menu command, the dialog's selection with
// Ctrl and Shift clicks and its preview, and one undo step for all of them.

#include "mainwindowfixture.h"

#include "commands/importlevel.h"
#include "levels/levelsfile.h"
#include "levels/supaplex.h"

#include "storebytes.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QSettings>
#include <QUndoStack>

using namespace qm;

namespace {

class SeveralLevelsImport : public qmtest::MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        openLevel();
        levelsfilepath = dir.path("import.lev");
        form->history().stack().clear();
        // Record n: every grid byte n % 40, except record 2 whose hero stands at row 3, column 7.
        Bytes bytes(kSupaplexFileSize, 0);
        for (int n = 1; n <= kSupaplexLevels; ++n)
            std::fill_n(bytes.begin() + std::ptrdiff_t(size_t(n - 1) * kSupaplexRecord), 1440, uint8_t(n % 40));
        std::fill_n(bytes.begin() + std::ptrdiff_t(kSupaplexRecord), 1440, uint8_t(2));
        bytes[kSupaplexRecord + 60 * 3 + 7] = kSupaplexHero;
        qmtest::writeFile(dir.path("Levels.dat"), bytes);
    }

    // Runs "From SupaPlex Levels File" with the user's steps in the import dialog.
    void importWith(const std::function<void(TForm2 &)> &steps)
    {
        fileAnswers.push_back(QString::fromStdString(dir.path("Levels.dat")));
        bool ran = false;
        QTimer::singleShot(0, form.get(), [&] {
            auto *importDialog = form->findChild<TForm2 *>();
            ASSERT_NE(importDialog, nullptr);
            ASSERT_TRUE(importDialog->isVisible());
            ran = true;
            steps(*importDialog);
            if (importDialog->isVisible()) {
                ADD_FAILURE() << "the import dialog stayed open";
                importDialog->reject();
            }
        });
        item("fromSupaPlexlevelsfile1")->trigger();
        EXPECT_TRUE(ran);
    }

    static void clickLine(QListWidget *list, int row, Qt::KeyboardModifiers modifiers = {})
    {
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, list->visualItemRect(list->item(row)).center());
    }
};

} // namespace

TEST_F(SeveralLevelsImport, SeveralLevelsAreOneUndoStep)
{
    const Bytes before = storeBytes();
    importWith([](TForm2 &d) {
        clickLine(d.ListBox1, 1);
        // The preview is the overview's thumbnail of the level, three pixels a square.
        ASSERT_FALSE(d.PreviewPicture->pixmap().isNull());
        EXPECT_EQ(d.PreviewPicture->pixmap().size(), QSize(58 * 3, 22 * 3));
        // Drawn with the chosen graphics file ("Computer.dxg", found as computer.dxg), not left black.
        const QImage picture = d.PreviewPicture->pixmap().toImage();
        EXPECT_NE(picture.pixel(30, 30) & 0xFFFFFFu, 0u);
        EXPECT_TRUE(d.PreviewText->text().contains("Hero: column 7, row 3"));
        clickLine(d.ListBox1, 3, Qt::ShiftModifier);   // 2 to 4
        clickLine(d.ListBox1, 9, Qt::ControlModifier); // and 10
        if (!d.CheckBox1->isChecked())
            QTest::mouseClick(d.CheckBox1, Qt::LeftButton);
        qmtest::click(d.Import);
    });
    ASSERT_EQ(levelsinfo.count, 5);
    EXPECT_EQ(levels[2].startx, 7 * 40 + 20);
    EXPECT_EQ(levels[2].starty, 3 * 40 + 20);
    EXPECT_EQ(*levels[5].cellAt(4, 4), supaplexCell(10));
    EXPECT_EQ(curlevel, 2);
    const Bytes after = storeBytes();
    EXPECT_EQ(form->history().stack().count(), 1);
    EXPECT_EQ(item("Undo1")->text(), "&Undo Import 4 Levels");

    item("Undo1")->trigger();
    EXPECT_EQ(levelsinfo.count, 1);
    EXPECT_EQ(curlevel, 1);
    EXPECT_EQ(storeBytes(), before);
    item("Redo1")->trigger();
    EXPECT_EQ(levelsinfo.count, 5);
    EXPECT_EQ(storeBytes(), after);

    // The box is remembered in the window's settings.
    EXPECT_TRUE(QSettings(form->settingsFile(), QSettings::IniFormat).value("Import/TakeRecord").toBool());
}

// The Supaplex file chooser opens in the game directory at first, and then in the folder of the file
// last chosen; a file that is too short says what it is.
TEST_F(SeveralLevelsImport, TheFileChooserStartsInTheGameDirectoryThenWhereTheLastFileWas)
{
    std::filesystem::create_directory(dir.path("elsewhere"));
    qmtest::writeFile(dir.path("elsewhere/Short.dat"), Bytes(kSupaplexRecord - 1, 0));
    fileAnswers.push_back(QString::fromStdString(dir.path("elsewhere/Short.dat")));
    item("fromSupaPlexlevelsfile1")->trigger();
    ASSERT_EQ(fileDialogs.size(), 1u);
    EXPECT_EQ(fileDialogs[0].initialDirectory, QString::fromStdString(gamedir));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], QString::fromStdString("Read beyond end of file: " + dir.path("elsewhere/Short.dat")
                                                  + " is 1,535 bytes: a Supaplex levels file holds records of 1,536 bytes"));
    item("fromSupaPlexlevelsfile1")->trigger(); // cancelled
    ASSERT_EQ(fileDialogs.size(), 2u);
    EXPECT_EQ(fileDialogs[1].initialDirectory, QString::fromStdString(dir.path("elsewhere")));
    EXPECT_EQ(levelsinfo.count, 1);
}
