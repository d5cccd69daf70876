// "From SupaPlex Levels File" and its dialog, run as the user runs them: the file dialog and the
// message boxes are answered by script, the import dialog through its widgets inside its modal loop.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>
#include <memory>

#include "commands/importlevel.h"
#include "dialoghelpers.h"
#include "messageof.h"
#include "levels/levelstore.h"
#include "levels/supaplex.h"
#include "levels/supaplexexport.h"
#include "tempdir.h"

namespace {

using qmtest::click;
using qmtest::messageOf;
using qmtest::typeInto;
using qmtest::whenShown;

std::string title(int n)
{
    std::string text = "Level " + std::to_string(n) + " of the test";
    text.resize(qm::kSupaplexTitleLength, ' ');
    return text;
}

// A Supaplex levels file: every grid byte of record n is n % 40, and its title is title(n); the grid
// of record 3 holds markers at its first and last imported squares.
std::vector<uint8_t> supaplexBytes()
{
    std::vector<uint8_t> bytes(qm::kSupaplexFileSize, 0);
    for (int n = 1; n <= qm::kSupaplexLevels; ++n) {
        uint8_t *record = bytes.data() + size_t(n - 1) * qm::kSupaplexRecord;
        std::fill(record, record + 1440, uint8_t(n % 40));
        const std::string t = title(n);
        std::copy(t.begin(), t.end(), record + qm::kSupaplexTitleAt);
    }
    uint8_t *third = bytes.data() + 2 * qm::kSupaplexRecord;
    third[61] = 4;    // row 1, column 1: an infotron
    third[1378] = 9;  // row 22, column 58: a port
    third[60] = 6;    // the frame around the grid is not imported
    third[1379] = 6;
    return bytes;
}

class SupaplexImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        qm::initStore();
        qm::gamedir = mGamedir.path() + "/";
        qmtest::writeFile(mGamedir.path("computer.dxg"), std::string("graphics"));
        qmtest::writeFile(mGamedir.path("forest.dxg"), std::string("graphics"));
        mLevelsDat = mFiles.path("Levels.dat");
        qmtest::writeFile(mLevelsDat, supaplexBytes());
        m_files_dialog.answer = QString::fromStdString(mLevelsDat);

        qm::resetstore();
        qm::levelsinfo.count = 0;
        for (int k = 1; k <= 3; ++k) {
            qm::addlevel();
            qm::levels[k].name = "Level " + std::to_string(k);
        }
        qm::levels[4].name = "left over"; // a slot beyond the file, which a cancelled import restores
        qm::curlevel = 2;
        qm::prevlevel = 1;
        qm::fileopen = true;
        qm::saved = false;
        mDialog = std::make_unique<qm::TForm2>();
        mDialog->settingsFile = QString::fromStdString(mFiles.path("settings.ini"));
    }

    int import(std::function<void()> steps, int *shown = nullptr)
    {
        whenShown(*mDialog, std::move(steps), shown);
        return qm::importSupaplexCommand(*mDialog);
    }

    // Fails and closes the dialog if the command shows it.
    void expectNoDialog()
    {
        QTimer::singleShot(0, mDialog.get(), [this] {
            if (mDialog->isVisible()) {
                ADD_FAILURE() << "the import dialog was shown";
                mDialog->reject();
            }
        });
    }

    void selectLine(int row, Qt::KeyboardModifiers modifiers = {})
    {
        QListWidget *list = mDialog->ListBox1;
        QListWidgetItem *item = list->item(row);
        ASSERT_NE(item, nullptr);
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, list->visualItemRect(item).center());
    }

    static std::vector<std::string> names()
    {
        std::vector<std::string> result;
        for (int k = 1; k <= qm::levelsinfo.count; ++k)
            result.push_back(qm::levels[k].name);
        return result;
    }

    qmtest::TempDir mGamedir;
    qmtest::TempDir mFiles;
    std::string mLevelsDat;
    qmtest::MessageLog mMessages;
    qmtest::FileDialogScript m_files_dialog;
    std::unique_ptr<qm::TForm2> mDialog;
};

TEST_F(SupaplexImport, ListsTheTitlesAndImportsTheChosenLevelAfterTheLast)
{
    const bool imported = import([this] {
        QListWidget *list = mDialog->ListBox1;
        ASSERT_EQ(list->count(), 111);
        EXPECT_EQ(list->item(0)->text().toStdString(), "1 " + title(1));
        EXPECT_EQ(list->item(110)->text().toStdString(), "111 " + title(111));
        EXPECT_TRUE(list->selectedItems().isEmpty());
        EXPECT_EQ(mDialog->Edit1->text(), "Untitled");
        EXPECT_EQ(mDialog->ComboBox1->currentText(), "Computer.dxg");
        EXPECT_EQ(mDialog->ComboBox1->count(), 4);

        // Nothing selected: Import is refused.
        EXPECT_FALSE(mDialog->Import->isEnabled());
        click(mDialog->Import);
        mDialog->ImportClick(); // as a key or a script might call it
        EXPECT_TRUE(mDialog->isVisible());
        EXPECT_EQ(mMessages.texts(), std::vector<std::string>{"Choose the level to import in the list."});

        selectLine(2);
        EXPECT_TRUE(mDialog->Import->isEnabled());
        typeInto(mDialog->Edit1, "Third");
        click(mDialog->Import);
    });
    EXPECT_TRUE(imported);

    const qm::FileDialogRequest &request = m_files_dialog.requests.at(0);
    EXPECT_EQ(request.mode, qm::FileDialogRequest::Mode::Open);
    EXPECT_EQ(request.initialName, "Levels.dat");
    EXPECT_EQ(request.filter, "Supaplex levels file|*.dat|Others data file|*.d*|All files|*.*");

    EXPECT_EQ(names(), (std::vector<std::string>{"Level 1", "Level 2", "Level 3", "Third"}));
    EXPECT_EQ(qm::curlevel, 4);
    EXPECT_EQ(qm::prevlevel, 2);
    EXPECT_EQ(mDialog->splevel, 3);
    EXPECT_TRUE(qm::dialogok);
    EXPECT_FALSE(qm::saved); // importing leaves saved alone
    EXPECT_TRUE(qm::loadeddxg.empty()); // and loads no graphics

    const qm::tlevel &level = qm::levels[4];
    EXPECT_EQ(level.dxg, "Computer.dxg"); // found as computer.dxg, kept as typed
    EXPECT_EQ(level.width, 58);
    EXPECT_EQ(level.height, 22);
    EXPECT_EQ(level.startx, 100);
    EXPECT_EQ(level.starty, 100);
    EXPECT_EQ(level.infotrons, 0);
    EXPECT_EQ(*level.cellAt(1, 1), (qm::cell{12, 0, 100, 0}));   // byte 61: infotron
    EXPECT_EQ(*level.cellAt(22, 58), (qm::cell{49, 0, 102, 0})); // byte 1,378: port
    EXPECT_EQ(*level.cellAt(1, 2), (qm::cell{16, 0, 100, 0}));   // code 3 is a plain base
    EXPECT_EQ(*level.cellAt(1, 59), qm::kDefaultCell);
    EXPECT_EQ(*level.cellAt(23, 1), qm::kDefaultCell);
}

TEST_F(SupaplexImport, CancelOrTheCloseBoxLeavesTheStoreExactlyAsBefore)
{
    const std::vector<std::string> before = names();
    int shown = 0;
    EXPECT_FALSE(import(
        [this] {
            selectLine(5);
            typeInto(mDialog->Edit1, "Not wanted");
            click(mDialog->Cancel);
        },
        &shown));
    EXPECT_FALSE(import([this] { mDialog->close(); }, &shown));
    EXPECT_FALSE(import([this] { QTest::keyClick(mDialog->ListBox1, Qt::Key_Escape); }, &shown));
    EXPECT_EQ(shown, 3);

    EXPECT_EQ(names(), before);
    EXPECT_EQ(qm::curlevel, 2);
    EXPECT_EQ(qm::prevlevel, 1);
    EXPECT_EQ(qm::levels[4].name, "left over");
    EXPECT_FALSE(qm::dialogok);
    EXPECT_TRUE(mMessages.entries.empty());
}

TEST_F(SupaplexImport, MissingGraphicsFileKeepsTheDialogOpenAndTypedTextsStay)
{
    EXPECT_TRUE(import([this] {
        selectLine(0);
        typeInto(mDialog->Edit1, "First");
        typeInto(mDialog->ComboBox1->lineEdit(), "kitchen.dxg"); // not in the game directory
        click(mDialog->Import);
        ASSERT_EQ(mMessages.entries.size(), 1u);
        EXPECT_EQ(mMessages.entries[0].kind, qm::MessageKind::Error);
        EXPECT_EQ(mMessages.entries[0].text, "The dxg graphics file you choosed dose'nt exist!");
        EXPECT_EQ(mMessages.entries[0].buttons, qm::MessageButtons::Cancel);
        EXPECT_TRUE(mDialog->isVisible());
        EXPECT_EQ(qm::levels[4].name, "Untitled"); // nothing taken yet

        typeInto(mDialog->ComboBox1->lineEdit(), "FOREST.dxg");
        click(mDialog->Import);
    }));
    EXPECT_EQ(qm::levels[4].name, "First");
    EXPECT_EQ(qm::levels[4].dxg, "FOREST.dxg");
    EXPECT_EQ(*qm::levels[4].cellAt(5, 5), qm::supaplexCell(1));

    // The next import starts from the texts typed before, with a fresh list and no line selected.
    EXPECT_TRUE(import([this] {
        EXPECT_EQ(mDialog->Edit1->text(), "First");
        EXPECT_EQ(mDialog->ComboBox1->currentText(), "FOREST.dxg");
        EXPECT_EQ(mDialog->ListBox1->count(), 111);
        EXPECT_TRUE(mDialog->ListBox1->selectedItems().isEmpty());
        selectLine(110);
        QTest::keyClick(mDialog->ListBox1, Qt::Key_Return); // Enter on a line imports it
    }));
    EXPECT_EQ(qm::levelsinfo.count, 5);
    EXPECT_EQ(qm::curlevel, 5);
    EXPECT_EQ(qm::prevlevel, 4);
    EXPECT_EQ(mDialog->splevel, 111);
    EXPECT_EQ(*qm::levels[5].cellAt(5, 5), qm::supaplexCell(111 % 40));
}

TEST_F(SupaplexImport, FailuresBeforeTheDialogAddNothing)
{
    const std::vector<std::string> before = names();

    // The file dialog cancelled: nothing happens at all.
    m_files_dialog.answer.clear();
    expectNoDialog();
    EXPECT_FALSE(qm::importSupaplexCommand(*mDialog));
    EXPECT_TRUE(mMessages.entries.empty());

    // A file one byte short of a level.
    std::vector<uint8_t> shortFile = supaplexBytes();
    shortFile.resize(qm::kSupaplexRecord - 1);
    qmtest::writeFile(mLevelsDat, shortFile);
    m_files_dialog.answer = QString::fromStdString(mLevelsDat);
    expectNoDialog();
    EXPECT_FALSE(qm::importSupaplexCommand(*mDialog));
    EXPECT_EQ(mMessages.texts(), std::vector<std::string>{"Read beyond end of file: " + mLevelsDat
                                                          + " is 1,535 bytes: a Supaplex levels file holds records "
                                                            "of 1,536 bytes"});

    // A file that is not there.
    mMessages.entries.clear();
    m_files_dialog.answer = QString::fromStdString(mFiles.path("gone.dat"));
    expectNoDialog();
    EXPECT_FALSE(qm::importSupaplexCommand(*mDialog));
    EXPECT_EQ(mMessages.texts(), std::vector<std::string>{"File not found"});

    EXPECT_EQ(names(), before);
    EXPECT_EQ(qm::curlevel, 2);
    EXPECT_EQ(qm::prevlevel, 1);
}

TEST_F(SupaplexImport, FullStoreIsReportedAndNothingIsAdded)
{
    while (qm::levelsinfo.count < qm::kMaxLevels)
        qm::addlevel();
    qm::curlevel = 7;
    qm::prevlevel = 3;
    expectNoDialog();
    EXPECT_FALSE(qm::importSupaplexCommand(*mDialog));
    ASSERT_EQ(mMessages.entries.size(), 1u);
    EXPECT_EQ(mMessages.entries[0].kind, qm::MessageKind::Error);
    EXPECT_EQ(mMessages.entries[0].text, messageOf([] { qm::addlevel(); })) << "the message of Add Level";
    EXPECT_TRUE(m_files_dialog.requests.empty()) << "refused before a file is picked";
    EXPECT_EQ(qm::levelsinfo.count, qm::kMaxLevels);
    EXPECT_EQ(qm::curlevel, 7);
    EXPECT_EQ(qm::prevlevel, 3);
}

TEST_F(SupaplexImport, NothingHappensWithoutAnOpenFile)
{
    qm::fileopen = false;
    expectNoDialog();
    EXPECT_FALSE(qm::importSupaplexCommand(*mDialog));
    EXPECT_TRUE(m_files_dialog.requests.empty());
    EXPECT_EQ(qm::levelsinfo.count, 3);
}

// Shift and Ctrl click choose several lines; Import appends them in list order, named "Untitled",
// with the graphics file chosen, the first of them current.
TEST_F(SupaplexImport, SeveralLevelsChosenWithShiftAndCtrlAreAppendedInListOrder)
{
    qmtest::writeFile(mGamedir.path("kitchen.dxg"), std::string("graphics"));
    EXPECT_EQ(import([this] {
        typeInto(mDialog->Edit1, "Only for one");
        selectLine(4);
        selectLine(6, Qt::ShiftModifier);  // 4, 5 and 6
        selectLine(1, Qt::ControlModifier); // and 1
        selectLine(5, Qt::ControlModifier); // but not 5
        EXPECT_FALSE(mDialog->Edit1->isEnabled()) << "the name field is for one level";
        typeInto(mDialog->ComboBox1->lineEdit(), "kitchen.dxg");
        click(mDialog->Import);
    }), 3);
    EXPECT_EQ(mDialog->splevels, (std::vector<int>{2, 5, 7}));
    EXPECT_EQ(names(), (std::vector<std::string>{"Level 1", "Level 2", "Level 3", "Untitled", "Untitled", "Untitled"}));
    for (int k = 4; k <= 6; ++k) {
        const qm::tlevel &level = qm::levels[k];
        EXPECT_EQ(*level.cellAt(5, 5), qm::supaplexCell(uint8_t(mDialog->splevels[size_t(k - 4)] % 40))) << k;
        EXPECT_EQ(level.dxg, "kitchen.dxg");
        EXPECT_EQ(level.width, 58);
        EXPECT_EQ(level.startx, 100); // the check box is off: nothing but the grid is taken
        EXPECT_EQ(level.infotrons, 0);
    }
    EXPECT_EQ(qm::curlevel, 4);
    EXPECT_EQ(qm::prevlevel, 2);
    EXPECT_EQ(mDialog->Edit1->text(), "Only for one");

    // One line again: the dialog is the one-level dialog, name field and all.
    EXPECT_EQ(import([this] {
        selectLine(0);
        EXPECT_TRUE(mDialog->Edit1->isEnabled());
        click(mDialog->Import);
    }), 1);
    EXPECT_EQ(qm::levels[7].name, "Only for one");
    EXPECT_EQ(qm::curlevel, 7);
    EXPECT_EQ(qm::prevlevel, 4);
}

// Past 200 levels nothing is appended: the dialog says why and stays open; a selection that fits to
// the last level goes in.
TEST_F(SupaplexImport, SeveralLevelsPassingTwoHundredAreRefusedAndNothingIsAppended)
{
    while (qm::levelsinfo.count < 150)
        qm::addlevel();
    qm::curlevel = 2;
    EXPECT_EQ(import([this] {
        selectLine(0);
        QTest::keyClick(mDialog->ListBox1, Qt::Key_A, Qt::ControlModifier); // all 111
        EXPECT_EQ(mDialog->ListBox1->selectedItems().size(), 111);
        click(mDialog->Import);
        ASSERT_EQ(mMessages.entries.size(), 1u);
        EXPECT_EQ(mMessages.entries[0].kind, qm::MessageKind::Error);
        EXPECT_EQ(mMessages.entries[0].text, messageOf([] { qm::requireRoomForImport(150, 111); }));
        EXPECT_TRUE(mDialog->isVisible());
        click(mDialog->Cancel);
    }), 0);
    EXPECT_EQ(qm::levelsinfo.count, 150);
    EXPECT_EQ(qm::curlevel, 2);

    EXPECT_EQ(import([this] {
        selectLine(10);
        selectLine(59, Qt::ShiftModifier); // 50 levels: 200 in all
        click(mDialog->Import);
    }), 50);
    EXPECT_EQ(qm::levelsinfo.count, qm::kMaxLevels);
    EXPECT_EQ(*qm::levels[200].cellAt(1, 1), qm::supaplexCell(60 % 40));
}

// The check box takes each record's hero square, infotrons needed and title; for one level the title
// comes into the name field. The preview shows the current line. The box is kept in the settings.
TEST_F(SupaplexImport, CheckBoxTakesHeroInfotronsAndTitleAndThePreviewShowsThem)
{
    std::vector<uint8_t> bytes = supaplexBytes();
    uint8_t *second = bytes.data() + qm::kSupaplexRecord;
    std::fill(second, second + 1440, uint8_t(2));
    second[60 * 9 + 3] = qm::kSupaplexHero;
    second[60 * 4 + 50] = qm::kSupaplexHero; // first in reading order
    second[60 * 1 + 1] = second[60 * 1 + 2] = 4;
    const std::string warmUp = "------- WARM UP -------";
    std::copy(warmUp.begin(), warmUp.end(), second + qm::kSupaplexTitleAt);
    second[qm::kSupaplexInfotronsAt] = 0; // all of them
    bytes[4 * qm::kSupaplexRecord + qm::kSupaplexInfotronsAt] = 17; // record 5 names its own
    qmtest::writeFile(mLevelsDat, bytes);
    std::vector<std::string> previewed;
    mDialog->previewOf = [&](const qm::tlevel &level) {
        previewed.push_back(level.dxg + " " + std::to_string(level.cellAt(1, 1)->tile));
        QImage image(58, 22, QImage::Format_RGB32);
        image.fill(Qt::red);
        return image;
    };

    EXPECT_EQ(import([&] {
        EXPECT_FALSE(mDialog->CheckBox1->isChecked()) << "off by default";
        EXPECT_EQ(mDialog->CheckBox1->text(), "Take the hero's square, infotrons needed and title");
        QTest::mouseClick(mDialog->CheckBox1, Qt::LeftButton);
        selectLine(1);
        EXPECT_EQ(mDialog->Edit1->text(), "WARM UP");
        EXPECT_EQ(mDialog->PreviewText->text(),
                  "Title: WARM UP\nHero: column 50, row 4\nInfotrons needed: 2 (all of them)\n"
                  "Note: 2 heroes; the first, at column 50, row 4, is the start square.");
        EXPECT_FALSE(mDialog->PreviewPicture->pixmap().isNull());
        ASSERT_FALSE(previewed.empty());
        EXPECT_EQ(previewed.back(), "Computer.dxg 12"); // the chosen graphics file, the record's cells
        typeInto(mDialog->ComboBox1->lineEdit(), "forest.dxg");
        EXPECT_EQ(previewed.back(), "forest.dxg 12");
        selectLine(4, Qt::ControlModifier);
        click(mDialog->Import);
    }), 2);
    const qm::tlevel &warm = qm::levels[4];
    EXPECT_EQ(warm.name, "WARM UP");
    EXPECT_EQ(warm.startx, 40 * 50 + 20);
    EXPECT_EQ(warm.starty, 40 * 4 + 20);
    EXPECT_EQ(warm.infotrons, 2);
    const qm::tlevel &fifth = qm::levels[5];
    EXPECT_EQ(fifth.name, "Level 5 of the test");
    EXPECT_EQ(fifth.startx, 100) << "record 5 has no hero inside its frame";
    EXPECT_EQ(fifth.infotrons, 17);

    // Remembered: a dialog made afresh on the same settings starts ticked.
    EXPECT_TRUE(QSettings(mDialog->settingsFile, QSettings::IniFormat).value("Import/TakeRecord").toBool());
    mDialog = std::make_unique<qm::TForm2>();
    mDialog->settingsFile = QString::fromStdString(mFiles.path("settings.ini"));
    EXPECT_EQ(import([this] {
        EXPECT_TRUE(mDialog->CheckBox1->isChecked());
        QTest::mouseClick(mDialog->CheckBox1, Qt::LeftButton); // off again: the specified import
        selectLine(1);
        EXPECT_EQ(mDialog->Edit1->text(), "Untitled");
        click(mDialog->Import);
    }), 1);
    EXPECT_EQ(qm::levels[6].name, "Untitled");
    EXPECT_EQ(qm::levels[6].startx, 100);
    EXPECT_EQ(qm::levels[6].infotrons, 0);
}

// A single-level file lists one line; a file with a partial record says what it left out.
TEST_F(SupaplexImport, SingleRecordFilesListTheirOneLevel)
{
    std::vector<uint8_t> bytes = supaplexBytes();
    bytes.resize(qm::kSupaplexRecord);
    qmtest::writeFile(mLevelsDat, bytes);
    EXPECT_EQ(import([this] {
        ASSERT_EQ(mDialog->ListBox1->count(), 1);
        EXPECT_EQ(mDialog->ListBox1->item(0)->text().toStdString(), "1 " + title(1));
        EXPECT_TRUE(mDialog->FileNote->text().isEmpty());
        QTest::keyClick(mDialog->ListBox1, Qt::Key_A, Qt::ControlModifier);
        click(mDialog->Import);
    }), 1);
    EXPECT_EQ(*qm::levels[4].cellAt(3, 3), qm::supaplexCell(1));

    bytes = supaplexBytes();
    bytes.resize(2 * qm::kSupaplexRecord + 5);
    qmtest::writeFile(mLevelsDat, bytes);
    EXPECT_EQ(import([this] {
        EXPECT_EQ(mDialog->ListBox1->count(), 2);
        EXPECT_EQ(mDialog->FileNote->text(),
                  "Note: The last 5 bytes of the file are not a whole level of 1536 bytes and were ignored.");
        click(mDialog->Cancel);
    }), 0);
}

} // namespace

// The whole import: off at first and remembered; it ticks and locks the take-record box, proposes the
// title as it stands, and keeps the level whole (60 x 24, the ring, every object, the record's bytes).
TEST_F(SupaplexImport, KeepWholeKeepsTheRecordAndImpliesTheTakeRecordBox)
{
    std::vector<uint8_t> bytes = supaplexBytes();
    uint8_t *second = bytes.data() + qm::kSupaplexRecord;
    std::fill(second, second + 1440, uint8_t(2));
    second[0] = 37;                         // hardware on the ring
    second[60 * 3 + 7] = qm::kSupaplexHero;
    second[60 * 5 + 5] = 25;                // a bug
    second[qm::kSupaplexGravityAt] = 1;
    const std::string warmUp = "------- WARM UP -------";
    std::copy(warmUp.begin(), warmUp.end(), second + qm::kSupaplexTitleAt);
    qmtest::writeFile(mLevelsDat, bytes);

    EXPECT_EQ(import([&] {
        QCheckBox *whole = mDialog->KeepWhole;
        EXPECT_EQ(whole->text(),
                  "Keep the whole level for play and export (outer ring, every object, the game's settings)");
        EXPECT_FALSE(whole->isChecked()) << "off by default";
        EXPECT_TRUE(mDialog->CheckBox1->isEnabled());
        EXPECT_LE(whole->geometry().right(), mDialog->width()) << "the whole text shows";
        QTest::mouseClick(whole, Qt::LeftButton);
        EXPECT_TRUE(mDialog->CheckBox1->isChecked());
        EXPECT_FALSE(mDialog->CheckBox1->isEnabled());
        selectLine(1);
        EXPECT_EQ(mDialog->Edit1->text(), QString::fromStdString(warmUp));
        EXPECT_EQ(mDialog->PreviewText->text(), "Title: WARM UP\nHero: column 8, row 4\nInfotrons needed: 0 (all of them)");
        click(mDialog->Import);
    }), 1);
    const qm::tlevel &level = qm::levels[4];
    EXPECT_EQ(level.width, 60);
    EXPECT_EQ(level.height, 24);
    EXPECT_EQ(level.name, warmUp);
    EXPECT_EQ(level.cellAt(1, 1)->tile, qm::kTileWallStriped);
    EXPECT_EQ(level.cellAt(6, 6)->tile, qm::kTileBug);
    EXPECT_EQ(level.startx, 40 * 8 + 20);
    qm::SupaplexRecordBytes record{};
    std::copy(second, second + qm::kSupaplexRecord, record.begin());
    EXPECT_EQ(qm::supaplexRecordOf(level, 4), record);

    // Remembered, while the take-record box keeps its own choice.
    EXPECT_TRUE(QSettings(mDialog->settingsFile, QSettings::IniFormat).value("Import/KeepWhole").toBool());
    EXPECT_FALSE(QSettings(mDialog->settingsFile, QSettings::IniFormat).value("Import/TakeRecord").toBool());
    mDialog = std::make_unique<qm::TForm2>();
    mDialog->settingsFile = QString::fromStdString(mFiles.path("settings.ini"));
    EXPECT_EQ(import([this] {
        EXPECT_TRUE(mDialog->KeepWhole->isChecked());
        QTest::mouseClick(mDialog->KeepWhole, Qt::LeftButton);
        EXPECT_FALSE(mDialog->CheckBox1->isChecked());
        EXPECT_TRUE(mDialog->CheckBox1->isEnabled());
        selectLine(1);
        click(mDialog->Import);
    }), 1);
    EXPECT_EQ(qm::levels[5].width, 58);
}
