// The chooser of the game's levels file: the acceptance rule alone, then the dialog through its widgets.

#include <QLineEdit>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>

#include "commands/unitlevelsfile.h"
#include "dialogsupport.h"
#include "levels/gameconfig.h"
#include "levels/levelstore.h"
#include "tempdir.h"

namespace {

using qmtest::click;
using qmtest::typeInto;
using qmtest::whenShown;

std::string upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

// A game directory holding levels.lev, Mixed.Lev and a folder "sub" with inner.lev, and another
// directory holding elsewhere.lev.
class LevelsFileRule : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = m_game.path() + "/";
        qmtest::writeFile(m_game.path("levels.lev"), std::string("levels"));
        qmtest::writeFile(m_game.path("Mixed.Lev"), std::string("levels"));
        std::filesystem::create_directory(m_game.path("sub"));
        qmtest::writeFile(m_game.path("sub/inner.lev"), std::string("levels"));
        qmtest::writeFile(m_other.path("elsewhere.lev"), std::string("levels"));
    }

    void expectAccepted(const std::string &typed, const std::string &name)
    {
        const qm::LevelsFileVerdict verdict = qm::judgeLevelsFileName(typed, m_dir);
        EXPECT_TRUE(verdict.accepted) << typed << ": " << verdict.refusal;
        EXPECT_EQ(verdict.name, name) << typed;
    }
    void expectRefused(const std::string &typed, const char *refusal)
    {
        const qm::LevelsFileVerdict verdict = qm::judgeLevelsFileName(typed, m_dir);
        EXPECT_FALSE(verdict.accepted) << typed << " accepted as " << verdict.name;
        EXPECT_EQ(verdict.refusal, refusal) << typed;
    }

    qmtest::TempDir m_game;
    qmtest::TempDir m_other;
    std::string m_dir;
};

TEST_F(LevelsFileRule, FullPathsInTheGameDirectoryKeepTheFileName)
{
    expectAccepted(m_dir + "levels.lev", "levels.lev");
    expectAccepted(upper(m_dir + "levels.lev"), "LEVELS.LEV"); // the directory in other letter case
    expectAccepted(m_dir + "mixed.lev", "mixed.lev");
    expectAccepted(m_dir + "sub/../levels.lev", "levels.lev");
    expectAccepted(m_game.path() + "//./levels.lev", "levels.lev");
    expectAccepted("./levels.lev", "levels.lev"); // a relative directory counts from the game directory
}

TEST_F(LevelsFileRule, BareNamesAreLookedUpInTheGameDirectoryAndKeptAsTyped)
{
    expectAccepted("levels.lev", "levels.lev");
    expectAccepted("MIXED.LEV", "MIXED.LEV");
    expectRefused("missing.lev", qm::kLevelsFileMissing);
    expectRefused("elsewhere.lev", qm::kLevelsFileMissing);
    expectRefused("", qm::kLevelsFileMissing);
}

TEST_F(LevelsFileRule, FilesElsewhereAreRefused)
{
    expectRefused(m_other.path("elsewhere.lev"), qm::kNotInGameDirectory);
    expectRefused(m_dir + "sub/inner.lev", qm::kNotInGameDirectory);
    expectRefused("sub/inner.lev", qm::kNotInGameDirectory);
    expectRefused("../" + std::filesystem::path(m_other.path("x")).parent_path().filename().string() + "/elsewhere.lev",
                  qm::kNotInGameDirectory);
    expectRefused(m_other.path("nothing.lev"), qm::kLevelsFileMissing);
}

TEST_F(LevelsFileRule, OnlyExistingRegularFilesCount)
{
    expectRefused("sub", qm::kLevelsFileMissing);           // a directory
    expectRefused(m_dir + "sub", qm::kLevelsFileMissing);
    expectRefused("*.lev", qm::kLevelsFileMissing);         // a pattern that matches files
    expectRefused("levels.l?v", qm::kLevelsFileMissing);
    expectRefused(m_dir, qm::kLevelsFileMissing);           // a directory with no file name
    expectRefused("/", qm::kLevelsFileMissing);
}

class LevelsFileDialog : public LevelsFileRule {
protected:
    void SetUp() override
    {
        LevelsFileRule::SetUp();
        qm::initstore();
        qm::initgameconfig();
        qm::gamedir = m_dir;
        qm::cfglevelsfile = "Game.lev";
        m_dialog = std::make_unique<qm::Tlevelsfile>();
    }

    int run(std::function<void()> steps)
    {
        whenShown(*m_dialog, std::move(steps));
        return m_dialog->exec();
    }

    qmtest::MessageLog m_messages;
    qmtest::FileDialogScript m_files;
    std::unique_ptr<qm::Tlevelsfile> m_dialog;
};

TEST_F(LevelsFileDialog, BrowseThenOkStoresTheBareName)
{
    EXPECT_EQ(m_dialog->windowTitle(), "levelsfile");
    EXPECT_EQ(m_dialog->size(), QSize(340, 100));
    m_files.answer = QString::fromStdString(m_dir + "levels.lev");
    const int result = run([this] {
        EXPECT_EQ(m_dialog->Edit1->text(), "Game.lev");
        click(m_dialog->Button1);
        EXPECT_EQ(m_dialog->Edit1->text().toStdString(), m_dir + "levels.lev");
        EXPECT_EQ(qm::cfglevelsfile, "Game.lev"); // Browse alone changes nothing
        click(m_dialog->Button3);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(qm::cfglevelsfile, "levels.lev");
    EXPECT_TRUE(m_messages.entries.empty());

    ASSERT_EQ(m_files.requests.size(), 1u);
    EXPECT_EQ(m_files.requests[0].mode, qm::FileDialogRequest::Mode::Open);
    EXPECT_EQ(m_files.requests[0].filter, "Quillmoss Levels-Files|*.lev");
    EXPECT_EQ(m_files.requests[0].initialDirectory.toStdString(), m_dir);

    // The name written at exit is the one accepted; the next showing starts from it.
    EXPECT_NE(qm::gameConfigText().find("levels.lev;"), std::string::npos);
    run([this] {
        EXPECT_EQ(m_dialog->Edit1->text(), "levels.lev");
        click(m_dialog->Button2);
    });
}

TEST_F(LevelsFileDialog, RefusalsKeepTheDialogOpenAndChangeNothing)
{
    m_files.answer = QString::fromStdString(m_other.path("elsewhere.lev"));
    const int result = run([this] {
        click(m_dialog->Button1);
        click(m_dialog->Button3);
        EXPECT_TRUE(m_dialog->isVisible());
        typeInto(m_dialog->Edit1, "");
        QTest::keyClick(m_dialog->Edit1, Qt::Key_Return); // Ok is the default button
        EXPECT_TRUE(m_dialog->isVisible());
        typeInto(m_dialog->Edit1, "nothing.lev");
        click(m_dialog->Button3);
        EXPECT_TRUE(m_dialog->isVisible());
        click(m_dialog->Button2);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(qm::cfglevelsfile, "Game.lev");
    EXPECT_EQ(m_messages.texts(), (std::vector<std::string>{qm::kNotInGameDirectory, qm::kLevelsFileMissing,
                                                            qm::kLevelsFileMissing}));
    for (const auto &entry : m_messages.entries) {
        EXPECT_EQ(entry.kind, qm::MessageKind::Error);
        EXPECT_EQ(entry.buttons, qm::MessageButtons::Ok);
    }

    // A name typed and then cancelled is forgotten; a bare name is accepted as typed.
    EXPECT_EQ(run([this] {
                  EXPECT_EQ(m_dialog->Edit1->text(), "Game.lev");
                  typeInto(m_dialog->Edit1, "MIXED.lev");
                  click(m_dialog->Button3);
              }),
              QDialog::Accepted);
    EXPECT_EQ(qm::cfglevelsfile, "MIXED.lev");
}

} // namespace
