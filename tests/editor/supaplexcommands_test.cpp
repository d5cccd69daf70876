// Edit → Game Settings… and File → Export to Supaplex… through the real window: the dialog's boxes
// ticked with the mouse and the keyboard, one undo step, and the files the export writes.

#include "mainwindowfixture.h"

#include "editor/supaplexcommands.h"
#include "levels/supaplexexport.h"

#include <QCheckBox>
#include <QStatusBar>
#include <QTableWidget>
#include <filesystem>
#include <memory>

using namespace qm;

namespace {

class SupaplexCommands : public qmtest::MainWindowTest {
protected:
    // Runs steps inside the settings dialog once the command shows it; steps must close it.
    void whenDialogShown(std::function<void(GameSettingsDialog &)> steps)
    {
        auto *poll = new QTimer(form.get());
        poll->setInterval(1);
        QObject::connect(poll, &QTimer::timeout, [poll, steps] {
            auto *dialog = qobject_cast<GameSettingsDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            poll->stop();
            poll->deleteLater();
            steps(*dialog);
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the settings dialog is still open after the user's steps";
                dialog->reject();
            }
        });
        poll->start();
    }

    // A whole level: base in a hardware ring, the hero, special ports at record (2, 2) and (2, 4), the
    // second with a table entry that freezes the enemies; gravity on.
    SupaplexRecordBytes openWholeLevel()
    {
        openLevel(60, 24);
        SupaplexRecordBytes record = emptySupaplexRecord();
        for (size_t k = 0; k < 1440; ++k)
            if (record[k] == 0)
                record[k] = 2;
        record[61] = 3;
        record[60 * 2 + 2] = 14;
        record[60 * 2 + 4] = 16;
        record[kSupaplexGravityAt] = 1;
        record[kSupaplexPortCountAt] = 1;
        record[kSupaplexPortTableAt + 1] = uint8_t(2 * (60 * 2 + 4));
        record[kSupaplexPortTableAt + 4] = 1;
        importSupaplexRecordWhole(record.data(), levels[1]);
        return record;
    }

    static void toggle(QTableWidget *table, int row, int column)
    {
        table->setCurrentCell(row, column);
        QTest::keyClick(table, Qt::Key_Space);
    }
};

} // namespace

TEST_F(SupaplexCommands, GameSettingsShowTheLevelsAndChangeThemAsOneStep)
{
    const SupaplexRecordBytes original = openWholeLevel();
    whenDialogShown([](GameSettingsDialog &dialog) {
        EXPECT_TRUE(dialog.gravityBox->isChecked());
        EXPECT_FALSE(dialog.freezeZonksBox->isChecked());
        QTableWidget *ports = dialog.portsTable;
        ASSERT_EQ(ports->rowCount(), 2);
        EXPECT_EQ(ports->item(0, GameSettingsDialog::PortColumn)->text(), "column 3, row 3");
        EXPECT_EQ(ports->item(1, GameSettingsDialog::PortColumn)->text(), "column 5, row 3");
        EXPECT_EQ(ports->item(0, GameSettingsDialog::ChangesColumn)->checkState(), Qt::Unchecked);
        EXPECT_EQ(ports->item(0, GameSettingsDialog::ChangesColumn)->text(), "no change");
        EXPECT_FALSE(ports->item(0, GameSettingsDialog::GravityColumn)->flags() & Qt::ItemIsEnabled);
        EXPECT_EQ(ports->item(1, GameSettingsDialog::FreezeEnemiesColumn)->checkState(), Qt::Checked);
        QTest::keyClick(dialog.gravityBox, Qt::Key_Space);
        toggle(ports, 0, GameSettingsDialog::ChangesColumn); // the first port now changes settings...
        EXPECT_TRUE(ports->item(0, GameSettingsDialog::GravityColumn)->flags() & Qt::ItemIsEnabled);
        EXPECT_EQ(ports->item(0, GameSettingsDialog::ChangesColumn)->text(), "as ticked");
        toggle(ports, 0, GameSettingsDialog::GravityColumn); // ...turning gravity on
        qmtest::click(dialog.okButton);
    });
    item("gameSettings")->trigger();
    const GameSettings now = gameSettingsOf(levels[1]);
    EXPECT_FALSE(now.gravity);
    ASSERT_EQ(now.ports.size(), 2u);
    EXPECT_EQ(now.ports[0], (SpecialPortSettings{3, 3, true, true, false, false}));
    EXPECT_EQ(now.ports[1], (SpecialPortSettings{5, 3, true, false, false, true}));
    EXPECT_EQ(item("Undo1")->text(), "&Undo Game Settings");
    EXPECT_FALSE(saved);
    item("Undo1")->trigger();
    EXPECT_EQ(supaplexRecordOf(levels[1], 1), original);

    // Cancel, or OK with nothing changed, adds no step.
    whenDialogShown([](GameSettingsDialog &dialog) { qmtest::click(dialog.okButton); });
    item("gameSettings")->trigger();
    EXPECT_EQ(item("Undo1")->text(), "&Undo");
}

TEST_F(SupaplexCommands, ExportWritesTheCurrentLevelAsSpOrEveryLevelAsALevelsFile)
{
    const SupaplexRecordBytes original = openWholeLevel();
    fileAnswers = {QString::fromStdString(dir.path("one.SP")), QString::fromStdString(dir.path("all.dat"))};
    item("exportSupaplex")->trigger();
    ASSERT_EQ(fileDialogs.size(), 1u);
    EXPECT_EQ(fileDialogs[0].mode, FileDialogRequest::Mode::Save);
    EXPECT_EQ(qmtest::readFile(dir.path("one.SP")), std::vector<uint8_t>(original.begin(), original.end()));
    const QString told = form->statusBar()->currentMessage();
    EXPECT_TRUE(told.startsWith("Exported level 1 to ")) << told.toStdString();
    item("exportSupaplex")->trigger();
    const std::vector<uint8_t> all = qmtest::readFile(dir.path("all.dat"));
    ASSERT_EQ(all.size(), 111u * 1536u);
    EXPECT_TRUE(std::equal(original.begin(), original.end(), all.begin()));
    const SupaplexRecordBytes empty = emptySupaplexRecord();
    EXPECT_TRUE(std::equal(empty.begin(), empty.end(), all.end() - 1536));

    // A level the game cannot hold: an error box, and nothing written.
    levels[1].width = 62;
    messages.clear();
    fileAnswers = {QString::fromStdString(dir.path("big.sp"))};
    item("exportSupaplex")->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].startsWith("Level 1 cannot be exported to Supaplex: it is 62 x 24 squares"))
        << messages[0].toStdString();
    EXPECT_FALSE(std::filesystem::exists(dir.path("big.sp")));
}

// A level too small to keep the settings is refused before the dialog, and nothing changes.
TEST_F(SupaplexCommands, GameSettingsOfATinyLevelAreRefusedBeforeTheDialog)
{
    openLevel(8, 10);
    messages.clear();
    whenDialogShown([](GameSettingsDialog &dialog) {
        ADD_FAILURE() << "the dialog was shown";
        dialog.reject();
    });
    item("gameSettings")->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "The game's settings need a level of at least 96 squares; this one has 80.");
    EXPECT_EQ(item("Undo1")->text(), "&Undo");
}
