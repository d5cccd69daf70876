// The chooser of the game's levels file: the acceptance rule alone, then the dialog through its widgets.

#include <QLineEdit>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>

#include "commands/unitlevelsfile.h"
#include "dialoghelpers.h"
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
        mDir = mGame.path() + "/";
        qmtest::writeFile(mGame.path("levels.lev"), std::string("levels"));
        qmtest::writeFile(mGame.path("Mixed.Lev"), std::string("levels"));
        std::filesystem::create_directory(mGame.path("sub"));
        qmtest::writeFile(mGame.path("sub/inner.lev"), std::string("levels"));
        qmtest::writeFile(mOther.path("elsewhere.lev"), std::string("levels"));
    }

    void expectAccepted(const std::string &typed, const std::string &name)
    {
        const qm::LevelsFileVerdict verdict = qm::judgeLevelsFileName(typed, mDir);
        EXPECT_TRUE(verdict.accepted) << typed << ": " << verdict.refusal;
        EXPECT_EQ(verdict.name, name) << typed;
    }
    void expectRefused(const std::string &typed, const char *refusal)
    {
        const qm::LevelsFileVerdict verdict = qm::judgeLevelsFileName(typed, mDir);
        EXPECT_FALSE(verdict.accepted) << typed << " accepted as " << verdict.name;
        EXPECT_EQ(verdict.refusal, refusal) << typed;
    }

    qmtest::TempDir mGame;
    qmtest::TempDir mOther;
    std::string mDir;
};

TEST_F(LevelsFileRule, FullPathsInTheGameDirectoryKeepTheFileName)
{
    expectAccepted(mDir + "levels.lev", "levels.lev");
    expectAccepted(upper(mDir + "levels.lev"), "LEVELS.LEV"); // the directory in other letter case
    expectAccepted(mDir + "mixed.lev", "mixed.lev");
    expectAccepted(mDir + "sub/../levels.lev", "levels.lev");
    expectAccepted(mGame.path() + "//./levels.lev", "levels.lev");
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
    expectRefused(mOther.path("elsewhere.lev"), qm::kNotInGameDirectory);
    expectRefused(mDir + "sub/inner.lev", qm::kNotInGameDirectory);
    expectRefused("sub/inner.lev", qm::kNotInGameDirectory);
    expectRefused("../" + std::filesystem::path(mOther.path("x")).parent_path().filename().string() + "/elsewhere.lev",
                  qm::kNotInGameDirectory);
    expectRefused(mOther.path("nothing.lev"), qm::kLevelsFileMissing);
}

TEST_F(LevelsFileRule, OnlyExistingRegularFilesCount)
{
    expectRefused("sub", qm::kLevelsFileMissing);           // a directory
    expectRefused(mDir + "sub", qm::kLevelsFileMissing);
    expectRefused("*.lev", qm::kLevelsFileMissing);         // a pattern that matches files
    expectRefused("levels.l?v", qm::kLevelsFileMissing);
    expectRefused(mDir, qm::kLevelsFileMissing);           // a directory with no file name
    expectRefused("/", qm::kLevelsFileMissing);
}

class LevelsFileDialog : public LevelsFileRule {
protected:
    void SetUp() override
    {
        LevelsFileRule::SetUp();
        qm::initStore();
        qm::initGameConfig();
        qm::gamedir = mDir;
        qm::cfglevelsfile = "Game.lev";
        mDialog = std::make_unique<qm::Tlevelsfile>();
    }

    int run(std::function<void()> steps)
    {
        whenShown(*mDialog, std::move(steps));
        return mDialog->exec();
    }

    qmtest::MessageLog mMessages;
    qmtest::FileDialogScript mFiles;
    std::unique_ptr<qm::Tlevelsfile> mDialog;
};

TEST_F(LevelsFileDialog, BrowseThenOkStoresTheBareName)
{
    EXPECT_EQ(mDialog->windowTitle(), "levelsfile");
    EXPECT_EQ(mDialog->size(), QSize(340, 100));
    mFiles.answer = QString::fromStdString(mDir + "levels.lev");
    const int result = run([this] {
        EXPECT_EQ(mDialog->Edit1->text(), "Game.lev");
        click(mDialog->Button1);
        EXPECT_EQ(mDialog->Edit1->text().toStdString(), mDir + "levels.lev");
        EXPECT_EQ(qm::cfglevelsfile, "Game.lev"); // Browse alone changes nothing
        click(mDialog->Button3);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(qm::cfglevelsfile, "levels.lev");
    EXPECT_TRUE(mMessages.entries.empty());

    ASSERT_EQ(mFiles.requests.size(), 1u);
    EXPECT_EQ(mFiles.requests[0].mode, qm::FileDialogRequest::Mode::Open);
    EXPECT_EQ(mFiles.requests[0].filter, "Quillmoss Levels-Files|*.lev");
    EXPECT_EQ(mFiles.requests[0].initialDirectory.toStdString(), mDir);

    // The name written at exit is the one accepted; the next showing starts from it.
    EXPECT_NE(qm::gameConfigText().find("levels.lev;"), std::string::npos);
    run([this] {
        EXPECT_EQ(mDialog->Edit1->text(), "levels.lev");
        click(mDialog->Button2);
    });
}

TEST_F(LevelsFileDialog, RefusalsKeepTheDialogOpenAndChangeNothing)
{
    mFiles.answer = QString::fromStdString(mOther.path("elsewhere.lev"));
    const int result = run([this] {
        click(mDialog->Button1);
        click(mDialog->Button3);
        EXPECT_TRUE(mDialog->isVisible());
        typeInto(mDialog->Edit1, "");
        QTest::keyClick(mDialog->Edit1, Qt::Key_Return); // Ok is the default button
        EXPECT_TRUE(mDialog->isVisible());
        typeInto(mDialog->Edit1, "nothing.lev");
        click(mDialog->Button3);
        EXPECT_TRUE(mDialog->isVisible());
        click(mDialog->Button2);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(qm::cfglevelsfile, "Game.lev");
    EXPECT_EQ(mMessages.texts(), (std::vector<std::string>{qm::kNotInGameDirectory, qm::kLevelsFileMissing,
                                                            qm::kLevelsFileMissing}));
    for (const auto &entry : mMessages.entries) {
        EXPECT_EQ(entry.kind, qm::MessageKind::Error);
        EXPECT_EQ(entry.buttons, qm::MessageButtons::Ok);
    }

    // A name typed and then cancelled is forgotten; a bare name is accepted as typed.
    EXPECT_EQ(run([this] {
                  EXPECT_EQ(mDialog->Edit1->text(), "Game.lev");
                  typeInto(mDialog->Edit1, "MIXED.lev");
                  click(mDialog->Button3);
              }),
              QDialog::Accepted);
    EXPECT_EQ(qm::cfglevelsfile, "MIXED.lev");
}

} // namespace
