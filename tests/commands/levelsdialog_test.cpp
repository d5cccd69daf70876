// The levels dialog driven through its widgets: the list, the checks of Edit, growing a level,
// Save it, Move Up, Move Down, Delete, the graphics-file checks and the loading of tiles.

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>

#include "commands/qmeditor3.h"
#include "dialogtest.h"
#include "platform/errors.h"

namespace {

using qm::MessageButtons;
using qm::MessageKind;
using qmtest::click;
using qmtest::clickRow;
using qmtest::execWith;
using qmtest::typeInto;

class LevelsDialog : public qmtest::StoreFixture {
protected:
    void SetUp() override
    {
        StoreFixture::SetUp();
        mDialog = std::make_unique<qm::Tnewlevel>([this](const std::string &name) { mLoads.push_back(name); });
    }
    void TearDown() override { mDialog.reset(); }

    // Shows the dialog afresh (not modally): every showing runs FormShow.
    qm::Tnewlevel &shown()
    {
        mDialog->hide();
        mDialog->show();
        return *mDialog;
    }

    QString gridText(int row, int column) const
    {
        QTableWidgetItem *item = mDialog->StringGrid1->item(row, column);
        return item ? item->text() : QString();
    }

    // Paints every square of a level's grid with a tile the editor never uses by default.
    static void paintAll(int level, int tile)
    {
        for (int r = 1; r <= qm::kGridSize; ++r)
            for (int c = 1; c <= qm::kGridSize; ++c)
                qm::levels[level].cellAt(r, c)->tile = tile;
    }

    std::unique_ptr<qm::Tnewlevel> mDialog;
    std::vector<std::string> mLoads;
};

TEST_F(LevelsDialog, LayoutCaptionsAndHints)
{
    fillStore(1);
    qm::Tnewlevel &d = shown();
    EXPECT_EQ(d.windowTitle(), "Levels");
    EXPECT_EQ(d.size(), QSize(445, 295));
    EXPECT_EQ(d.minimumSize(), d.maximumSize());

    QTableWidget *grid = d.StringGrid1;
    EXPECT_EQ(grid->columnCount(), 2);
    EXPECT_EQ(grid->columnWidth(0), 27);
    EXPECT_EQ(grid->columnWidth(1), 170);
    EXPECT_EQ(grid->rowHeight(0), 18);
    EXPECT_FALSE(grid->horizontalHeader()->isVisible());
    EXPECT_FALSE(grid->verticalHeader()->isVisible());
    EXPECT_EQ(grid->selectionBehavior(), QAbstractItemView::SelectRows);

    QStringList labels;
    for (QLabel *label : d.findChildren<QLabel *>())
        labels << label->text();
    for (const char *text : {"Levels list:", "Level name:", "Graphics file:", "Width:", "Height:", "Needed infotrons:",
                             "Eddie start position:", "X:", "Y:"})
        EXPECT_TRUE(labels.contains(text)) << text;
    EXPECT_EQ(d.GroupBox1->title(), " Properties ");

    ASSERT_EQ(d.dxgl->count(), 4);
    EXPECT_EQ(d.dxgl->itemText(0), "computer.dxg");
    EXPECT_EQ(d.dxgl->itemText(1), "forest.dxg");
    EXPECT_EQ(d.dxgl->itemText(2), "underground.dxg");
    EXPECT_EQ(d.dxgl->itemText(3), "kitchen.dxg");
    EXPECT_TRUE(d.dxgl->isEditable());

    EXPECT_EQ(d.nrxl->toolTip(), "The number of horizontal squares");
    EXPECT_EQ(d.nryl->toolTip(), "The number of vertical squares");
    EXPECT_EQ(d.nril->toolTip(), "Number of infotrons needed to finish the level");
    EXPECT_EQ(d.Button2->text(), "Save it");
    EXPECT_EQ(d.Button2->parentWidget(), d.GroupBox1);
    EXPECT_EQ(d.Button2->toolTip(), "Save the level settings");
    EXPECT_EQ(d.Button1->toolTip(), "Move this level up with one position");
    EXPECT_EQ(d.Button3->toolTip(), "Move this level down with one position");
    EXPECT_EQ(d.Button4->toolTip(), "Delete this level");

    // The bottom row, left to right.
    const std::vector<QPushButton *> row{d.Button1, d.Button3, d.Button4, d.Button5, d.Button6};
    const QStringList captions{"Move Up", "Move Down", "Delete", "Edit", "Cancel"};
    for (size_t i = 0; i < row.size(); ++i) {
        EXPECT_EQ(row[i]->text(), captions[qsizetype(i)]);
        EXPECT_TRUE(d.rect().contains(row[i]->geometry()));
        if (i > 0) {
            EXPECT_GT(row[i]->x(), row[i - 1]->x());
        }
    }
}

TEST_F(LevelsDialog, ShowListsTheLevelsAndTheCurrentLevelsProperties)
{
    fillStore(3, 2);
    qm::levels[2].dxg = "forest.dxg";
    qm::levels[2].width = 30;
    qm::levels[2].height = 24;
    qm::levels[2].startx = 5 * 40 + 20;
    qm::levels[2].starty = 7 * 40 + 20;
    qm::levels[2].infotrons = 33;
    qm::Tnewlevel &d = shown();

    ASSERT_EQ(d.StringGrid1->rowCount(), 3);
    EXPECT_EQ(gridText(0, 0), "1");
    EXPECT_EQ(gridText(2, 0), "3");
    EXPECT_EQ(gridText(2, 1), "Level 3");
    EXPECT_EQ(d.StringGrid1->currentRow(), 1);
    EXPECT_EQ(d.sellevel, 2);
    EXPECT_EQ(d.namel->text(), "Level 2");
    EXPECT_EQ(d.dxgl->currentText(), "forest.dxg");
    EXPECT_EQ(d.nrxl->text(), "30");
    EXPECT_EQ(d.nryl->text(), "24");
    EXPECT_EQ(d.sxl->text(), "5");
    EXPECT_EQ(d.syl->text(), "7");
    EXPECT_EQ(d.nril->text(), "33");

    // Selecting another row after typing drops what was typed; the current level stays.
    typeInto(d.namel, "typed");
    typeInto(d.nrxl, "12");
    clickRow(d.StringGrid1, 0);
    EXPECT_EQ(d.sellevel, 1);
    EXPECT_EQ(d.namel->text(), "Level 1");
    EXPECT_EQ(d.nrxl->text(), "40");
    EXPECT_EQ(qm::curlevel, 2);
    clickRow(d.StringGrid1, 1);
    EXPECT_EQ(d.namel->text(), "Level 2");
    EXPECT_TRUE(mMessages.entries.empty());
}

TEST_F(LevelsDialog, EditCorrectsInvalidFieldsOneMessageEach)
{
    struct Case {
        const char *width, *height, *column, *row;
        std::vector<std::string> messages;
        std::vector<QString> after;
    };
    const std::vector<Case> cases{
        {"5", "40", "2", "2", {"The minimum width is 6!"}, {"6", "40", "2", "2"}},
        {"71", "40", "2", "2", {"The maximum width is 70."}, {"70", "40", "2", "2"}},
        {"41", "40", "2", "2", {"The width cannot have an impair value!"}, {"40", "40", "2", "2"}},
        {"-7", "40", "2", "2", {"The minimum width is 6!"}, {"6", "40", "2", "2"}},
        {"40", "69", "2", "2", {"The height cannot have an impair value!"}, {"40", "68", "2", "2"}},
        {"40", "40", "45", "2", {"Edit start position column cannot be bigger than 40!"}, {"40", "40", "40", "2"}},
        {"10", "40", "0", "2", {"Edit start position column cannot be smaller that 1!"}, {"10", "40", "1", "2"}},
        {"5", "71", "0", "99",
         {"The minimum width is 6!", "The maximum height is 70.", "Edit start position column cannot be smaller that 1!",
          "Edit start position row cannot be bigger than 70!"},
         {"6", "70", "1", "70"}},
    };
    fillStore(2, 2);
    paintAll(2, 3);
    qm::Tnewlevel &d = shown();
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.width) + " " + c.height + " " + c.column + " " + c.row);
        mMessages.clear();
        qm::dialogok = false;
        typeInto(d.nrxl, c.width);
        typeInto(d.nryl, c.height);
        typeInto(d.sxl, c.column);
        typeInto(d.syl, c.row);
        click(d.Button5);
        EXPECT_EQ(mMessages.texts(), c.messages);
        for (const auto &entry : mMessages.entries) {
            EXPECT_EQ(entry.kind, MessageKind::Information);
            EXPECT_EQ(entry.buttons, MessageButtons::Ok);
        }
        EXPECT_EQ((std::vector<QString>{d.nrxl->text(), d.nryl->text(), d.sxl->text(), d.syl->text()}), c.after);
        // Nothing stored, the dialog stays open.
        EXPECT_TRUE(d.isVisible());
        EXPECT_FALSE(qm::dialogok);
        EXPECT_EQ(qm::levels[2].width, 40);
        EXPECT_EQ(qm::levels[2].height, 40);
        EXPECT_EQ(qm::levels[2].startx, 100);
        EXPECT_EQ(qm::levels[2].cellAt(40, 40)->tile, 3);
    }

    // Pressing Edit again accepts the corrected fields.
    mMessages.clear();
    click(d.Button5);
    EXPECT_TRUE(mMessages.entries.empty());
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(qm::dialogok);
    EXPECT_EQ(qm::levels[2].width, 6);
    EXPECT_EQ(qm::levels[2].height, 70);
    EXPECT_EQ(qm::levels[2].startx, 1 * 40 + 20);
    EXPECT_EQ(qm::levels[2].starty, 70 * 40 + 20);
}

TEST_F(LevelsDialog, EditAndSaveItStoreNothingWhenAFieldIsNotANumber)
{
    fillStore(3, 1);
    qm::Tnewlevel &d = shown();
    clickRow(d.StringGrid1, 2);
    typeInto(d.namel, "Renamed");
    typeInto(d.nrxl, "50");
    typeInto(d.nril, "lots");
    click(d.Button5);
    ASSERT_EQ(mMessages.entries.size(), 1u);
    EXPECT_EQ(mMessages.entries[0].kind, MessageKind::Error);
    EXPECT_EQ(mMessages.entries[0].text, "'lots' is not a valid integer value");
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(qm::dialogok);
    EXPECT_EQ(qm::curlevel, 1);
    EXPECT_EQ(qm::levels[3].name, "Level 3");
    EXPECT_EQ(qm::levels[3].width, 40);

    mMessages.clear();
    typeInto(d.nril, "4");
    typeInto(d.syl, "");
    click(d.Button2);
    EXPECT_EQ(mMessages.texts(), std::vector<std::string>{"'' is not a valid integer value"});
    EXPECT_EQ(qm::curlevel, 1);
    EXPECT_EQ(qm::levels[3].name, "Level 3");
    EXPECT_EQ(qm::levels[3].width, 40);
    EXPECT_EQ(qm::levels[3].infotrons, 0);
    EXPECT_TRUE(mLoads.empty());
}

TEST_F(LevelsDialog, EditGrowsALevelWithDefaultCellsOnlyWhereItGrows)
{
    fillStore(1);
    paintAll(1, 7);
    qm::Tnewlevel &d = shown();
    typeInto(d.nrxl, "50");
    typeInto(d.nryl, "44");
    click(d.Button5);
    ASSERT_TRUE(mMessages.entries.empty());
    EXPECT_EQ(qm::levels[1].width, 50);
    EXPECT_EQ(qm::levels[1].height, 44);
    const qm::tlevel &level = qm::levels[1];
    for (int r = 1; r <= qm::kGridSize; ++r)
        for (int c = 1; c <= qm::kGridSize; ++c) {
            const bool renewed = (r <= 40 && c >= 41 && c <= 50) || (r >= 41 && r <= 44 && c <= 50);
            const qm::cell expected = renewed ? qm::kDefaultCell : qm::cell{7, 0, 100, 0};
            ASSERT_EQ(*level.cellAt(r, c), expected) << r << "," << c;
        }

    // Shrinking touches no cell; growing back renews what lay outside the small level.
    paintAll(1, 7);
    shown();
    typeInto(d.nrxl, "20");
    typeInto(d.nryl, "20");
    click(d.Button5);
    EXPECT_EQ(qm::levels[1].cellAt(40, 40)->tile, 7);
    EXPECT_EQ(qm::levels[1].width, 20);
    shown();
    typeInto(d.nrxl, "40");
    typeInto(d.nryl, "40");
    click(d.Button5);
    for (int r = 1; r <= 40; ++r)
        for (int c = 1; c <= 40; ++c)
            ASSERT_EQ(level.cellAt(r, c)->tile, r <= 20 && c <= 20 ? 7 : 16) << r << "," << c;
    EXPECT_EQ(level.cellAt(41, 41)->tile, 7);
}

TEST_F(LevelsDialog, SaveItStoresWithoutTheChecksOfEditAndStaysOpen)
{
    fillStore(3, 1);
    paintAll(2, 7);
    qm::loadeddxg = "computer.dxg";
    qm::Tnewlevel &d = shown();
    clickRow(d.StringGrid1, 1);
    typeInto(d.namel, "Caves");
    d.dxgl->setFocus();
    typeInto(d.dxgl->lineEdit(), "forest.dxg");
    typeInto(d.nrxl, "41");
    typeInto(d.nryl, "60");
    typeInto(d.sxl, "41");
    typeInto(d.syl, "3");
    typeInto(d.nril, "9");
    click(d.Button2);
    EXPECT_TRUE(mMessages.entries.empty());
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(qm::dialogok);
    EXPECT_EQ(qm::curlevel, 2);
    const qm::tlevel &level = qm::levels[2];
    EXPECT_EQ(level.name, "Caves");
    EXPECT_EQ(level.dxg, "forest.dxg");
    EXPECT_EQ(level.width, 41);
    EXPECT_EQ(level.height, 60);
    EXPECT_EQ(level.startx, 41 * 40 + 20);
    EXPECT_EQ(level.starty, 3 * 40 + 20);
    EXPECT_EQ(level.infotrons, 9);
    EXPECT_EQ(level.cellAt(50, 41)->tile, 7); // no cell renewed
    EXPECT_EQ(gridText(1, 1), "Caves");
    EXPECT_TRUE(mLoads.empty());
    EXPECT_EQ(qm::loadeddxg, "computer.dxg");

    // Beyond the grid: kept within 1..100 with the start square inside, and shown as stored.
    typeInto(d.nrxl, "250");
    typeInto(d.nryl, "0");
    typeInto(d.sxl, "180");
    typeInto(d.syl, "4");
    typeInto(d.nril, "-5");
    click(d.Button2);
    EXPECT_TRUE(mMessages.entries.empty());
    EXPECT_EQ(level.width, 100);
    EXPECT_EQ(level.height, 1);
    EXPECT_EQ(level.startx, 100 * 40 + 20);
    EXPECT_EQ(level.starty, 1 * 40 + 20);
    EXPECT_EQ(level.infotrons, 0);
    EXPECT_EQ(d.nrxl->text(), "100");
    EXPECT_EQ(d.nryl->text(), "1");
    EXPECT_EQ(d.sxl->text(), "100");
    EXPECT_EQ(d.syl->text(), "1");
}

TEST_F(LevelsDialog, MoveUpAndDownExchangeNeighboursAndRefuseAtTheEnds)
{
    fillStore(5, 1);
    qm::Tnewlevel &d = shown();
    clickRow(d.StringGrid1, 2);
    click(d.Button1);
    EXPECT_EQ(levelNames(), (std::vector<std::string>{"Level 1", "Level 3", "Level 2", "Level 4", "Level 5"}));
    EXPECT_EQ(d.sellevel, 2);
    EXPECT_EQ(qm::curlevel, 2);
    EXPECT_EQ(d.StringGrid1->currentRow(), 1);
    EXPECT_EQ(d.namel->text(), "Level 3");
    EXPECT_EQ(gridText(1, 1), "Level 3");
    EXPECT_EQ(gridText(1, 0), "2");

    click(d.Button3);
    click(d.Button3);
    EXPECT_EQ(levelNames(), (std::vector<std::string>{"Level 1", "Level 2", "Level 4", "Level 3", "Level 5"}));
    EXPECT_EQ(qm::curlevel, 4);
    EXPECT_EQ(d.namel->text(), "Level 3");
    EXPECT_TRUE(mMessages.entries.empty());

    const std::vector<std::string> order = levelNames();
    clickRow(d.StringGrid1, 0);
    click(d.Button1);
    clickRow(d.StringGrid1, 4);
    click(d.Button3);
    EXPECT_EQ(mMessages.texts(), (std::vector<std::string>{"This is the only level in the levels file.\r\nCannot move it up",
                                                            "This is the only level in the levels file.\r\nCannot move it down"}));
    for (const auto &entry : mMessages.entries) {
        EXPECT_EQ(entry.kind, MessageKind::Error);
        EXPECT_EQ(entry.buttons, MessageButtons::Ok);
    }
    EXPECT_EQ(levelNames(), order);
    EXPECT_EQ(qm::curlevel, 4);
}

TEST_F(LevelsDialog, DeleteRemovesTheSelectedLevelAndRefusesTheOnlyOne)
{
    fillStore(3, 2);
    qm::Tnewlevel &d = shown();
    clickRow(d.StringGrid1, 0);
    click(d.Button4);
    EXPECT_EQ(levelNames(), (std::vector<std::string>{"Level 2", "Level 3"}));
    EXPECT_EQ(qm::curlevel, 1);
    EXPECT_EQ(d.sellevel, 1);
    EXPECT_EQ(d.StringGrid1->rowCount(), 2);
    EXPECT_EQ(d.namel->text(), "Level 2");

    fillStore(3, 1);
    shown();
    clickRow(d.StringGrid1, 2);
    click(d.Button4);
    EXPECT_EQ(levelNames(), (std::vector<std::string>{"Level 1", "Level 2"}));
    EXPECT_EQ(qm::curlevel, 2);
    EXPECT_EQ(d.sellevel, 2);
    EXPECT_EQ(d.StringGrid1->currentRow(), 1);
    EXPECT_EQ(d.namel->text(), "Level 2");
    EXPECT_TRUE(mMessages.entries.empty());

    click(d.Button4);
    click(d.Button4);
    EXPECT_EQ(levelNames(), (std::vector<std::string>{"Level 1"}));
    EXPECT_EQ(mMessages.texts(),
              std::vector<std::string>{"This is the only level in the levels file.\r\nCannot delete it, becose it dosent make "
                                       "sense a levels file widthouth levels"});
    EXPECT_EQ(qm::curlevel, 1);
}

TEST_F(LevelsDialog, CancelKeepsWhatMoveUpChanged)
{
    fillStore(3, 3);
    const int result = execWith(*mDialog, [this] {
        click(mDialog->Button1);
        click(mDialog->Button6);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_FALSE(qm::dialogok);
    EXPECT_EQ(levelNames(), (std::vector<std::string>{"Level 1", "Level 3", "Level 2"}));
    EXPECT_EQ(qm::curlevel, 2);
}

TEST_F(LevelsDialog, EditLoadsTilesOnlyWhenTheGraphicsFileNameDiffers)
{
    fillStore(2, 1);
    qm::loadeddxg = "computer.dxg";
    EXPECT_EQ(execWith(*mDialog, [this] { click(mDialog->Button5); }), QDialog::Accepted);
    EXPECT_TRUE(mLoads.empty());

    // The file exists as "computer.dxg"; a name that differs in letter case still loads.
    execWith(*mDialog, [this] {
        typeInto(mDialog->dxgl->lineEdit(), "Computer.dxg");
        click(mDialog->Button5);
    });
    EXPECT_EQ(mLoads, std::vector<std::string>{"Computer.dxg"});
    EXPECT_EQ(qm::loadeddxg, "Computer.dxg");
    EXPECT_EQ(qm::levels[1].dxg, "Computer.dxg");

    // Another level, another file.
    execWith(*mDialog, [this] {
        clickRow(mDialog->StringGrid1, 1);
        typeInto(mDialog->dxgl->lineEdit(), "kitchen.dxg");
        click(mDialog->Button5);
    });
    EXPECT_EQ(mLoads, (std::vector<std::string>{"Computer.dxg", "kitchen.dxg"}));
    EXPECT_EQ(qm::curlevel, 2);
    EXPECT_TRUE(mMessages.entries.empty());
}

TEST_F(LevelsDialog, AMissingGraphicsFileIsRefusedBeforeAnythingIsStored)
{
    fillStore(2, 1);
    qm::Tnewlevel &d = shown();
    const std::string missing = "The dxg graphics file you choosed dose'nt exist!";
    clickRow(d.StringGrid1, 1);
    typeInto(d.namel, "Lost");
    typeInto(d.dxgl->lineEdit(), "swamp.dxg");
    click(d.Button5);
    click(d.Button2);
    ASSERT_EQ(mMessages.texts(), (std::vector<std::string>{missing, missing}));
    for (const auto &entry : mMessages.entries) {
        EXPECT_EQ(entry.kind, MessageKind::Error);
        EXPECT_EQ(entry.buttons, MessageButtons::Cancel);
    }
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(qm::dialogok);
    EXPECT_EQ(qm::curlevel, 1);
    EXPECT_EQ(qm::levels[2].name, "Level 2");
    EXPECT_EQ(qm::levels[2].dxg, "computer.dxg");
    EXPECT_TRUE(mLoads.empty());

    // Leaving the box only warns; a popup taking the focus does not count as leaving.
    mMessages.clear();
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(d.dxgl, &popup);
    EXPECT_TRUE(mMessages.entries.empty());
    QFocusEvent tab(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(d.dxgl, &tab);
    EXPECT_EQ(mMessages.texts(), std::vector<std::string>{missing});
    EXPECT_EQ(qm::levels[2].dxg, "computer.dxg");
    typeInto(d.dxgl->lineEdit(), "underground.dxg");
    QApplication::sendEvent(d.dxgl, &tab);
    EXPECT_EQ(mMessages.entries.size(), 1u);
}

TEST_F(LevelsDialog, WorksWithNoLevelAndWithACurrentLevelBeyondTheList)
{
    fillStore(0);
    qm::curlevel = 1;
    qm::Tnewlevel &d = shown();
    EXPECT_EQ(d.StringGrid1->rowCount(), 1);
    EXPECT_EQ(d.StringGrid1->currentRow(), -1);
    EXPECT_EQ(d.sellevel, 0);
    EXPECT_EQ(d.nrxl->text(), "40");
    EXPECT_EQ(d.sxl->text(), "2");
    for (QPushButton *button : {d.Button5, d.Button2, d.Button1, d.Button3, d.Button4})
        click(button);
    ASSERT_EQ(mMessages.entries.size(), 5u);
    for (const auto &entry : mMessages.entries)
        EXPECT_EQ(entry.text, "The levels file holds no level.\r\nAdd a level first");
    EXPECT_EQ(qm::levelsinfo.count, 0);
    EXPECT_FALSE(qm::dialogok);
    EXPECT_TRUE(d.isVisible());
    d.hide();

    fillStore(3);
    qm::curlevel = 9;
    shown();
    EXPECT_EQ(d.StringGrid1->rowCount(), 3);
    EXPECT_EQ(d.StringGrid1->currentRow(), 2);
    EXPECT_EQ(d.sellevel, 3);
    EXPECT_EQ(d.namel->text(), "Level 3");
    click(d.Button5);
    EXPECT_EQ(qm::curlevel, 3);
    EXPECT_TRUE(qm::dialogok);
}

} // namespace

namespace {

// A level of a file larger than the dialog makes, shown and accepted with Edit twice as it stands:
// nothing is corrected, and the cells past row and column 70 stay. A size typed anew is checked.
void expectStoredSizeKept(qm::Tnewlevel &d, qmtest::MessageLog &messages, int width,
                          int height)
{
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    qm::levels[1].width = width;
    qm::levels[1].height = height;
    qm::levels[1].startx = width * 40 + 20; // the start square on the last column and row
    qm::levels[1].starty = height * 40 + 20;
    qm::levels[1].cellAt(height, width)->tile = 5;
    for (int pass = 0; pass < 2; ++pass) {
        messages.clear();
        d.hide();
        d.show();
        EXPECT_EQ(d.nrxl->text(), QString::number(width));
        EXPECT_EQ(d.nryl->text(), QString::number(height));
        click(d.Button5);
        EXPECT_TRUE(messages.texts().empty()) << messages.texts().front();
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(qm::levels[1].width, width);
        EXPECT_EQ(qm::levels[1].height, height);
        EXPECT_EQ(qm::levels[1].startx, width * 40 + 20);
        EXPECT_EQ(qm::levels[1].cellAt(height, width)->tile, 5);
    }
    // A value the user types that is not the stored one keeps the rule of the dialog.
    d.hide();
    d.show();
    messages.clear();
    typeInto(width > 70 ? d.nrxl : d.nryl, "90");
    click(d.Button5);
    const std::vector<std::string> expected{
        width > 70 ? "The maximum width is 70." : "The maximum height is 70.",
        width > 70 ? "Edit start position column cannot be bigger than 70!"
                   : "Edit start position row cannot be bigger than 70!"};
    EXPECT_EQ(messages.texts(), expected);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(qm::levels[1].width, width);
    d.hide();
}

} // namespace

TEST_F(LevelsDialog, WiderThan70KeepsItsSize)
{
    fillStore(1);
    expectStoredSizeKept(*mDialog, mMessages, 100, 40);
    expectStoredSizeKept(*mDialog, mMessages, 71, 12);
}

TEST_F(LevelsDialog, TallerThan70KeepsItsSize)
{
    fillStore(1);
    expectStoredSizeKept(*mDialog, mMessages, 40, 100);
    expectStoredSizeKept(*mDialog, mMessages, 6, 99);
}
