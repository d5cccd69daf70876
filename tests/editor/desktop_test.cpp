// Open Recent, files dropped onto the window and the level's picture, through the real window: menu
// items and shortcuts, drag and drop events with file URLs, the clipboard, and `qmtool lev render`.

#include "mainwindowfixture.h"

#include "editor/recentfiles.h"

#include "commands/importlevel.h"
#include "commands/qmeditor3.h"
#include "levels/levelsfile.h"
#include "levels/supaplex.h"

#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QImage>
#include <QListWidget>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QUrl>
#include <map>

using namespace qm;
using qmtest::MainWindowTest;
using qmtest::waitUntil;
using qmtest::whenShown;

namespace {

class Desktop : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        QGuiApplication::clipboard()->clear();
    }
    // A key pressed on the map; shortcuts answer while the window is active (the offscreen platform
    // does not give it back after a dialog).
    void shortcut(Qt::Key key, Qt::KeyboardModifiers modifiers)
    {
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(surface(), key, modifiers);
    }
    // A levels file of one level named levelName, written without the window.
    std::string makeFile(const std::string &name, const std::string &levelName = "Untitled")
    {
        levelsinfo = Tlevels{};
        resetstore();
        curlevel = 1;
        addlevel();
        levels[1].name = levelName;
        levelsfilepath = dir.path(name);
        writelevelsfile();
        fileopen = false;
        return dir.path(name);
    }
    void closeLevelsDialog()
    {
        whenShown(dialog<Tnewlevel>(), [this] { QTest::mouseClick(dialog<Tnewlevel>()->Button5, Qt::LeftButton); });
    }
    QMenu *recentMenu() const { return form->findChild<QMenu *>("Openrecent1"); }
    // The items of Open Recent as the user sees them when the menu opens.
    std::vector<QAction *> recentItems() const
    {
        emit recentMenu()->aboutToShow();
        std::vector<QAction *> items;
        for (QAction *action : recentMenu()->actions())
            if (action->objectName().startsWith("Recent"))
                items.push_back(action);
        return items;
    }
    QStringList storedList() const
    {
        return QSettings(QString::fromStdString(dir.path("settings.ini")), QSettings::IniFormat)
            .value("RecentFiles")
            .toStringList();
    }

    // A drag of files entering the window, then dropped when it was accepted: whether it was.
    bool drop(const std::vector<std::string> &paths)
    {
        QList<QUrl> urls;
        for (const std::string &path : paths)
            urls.append(QUrl::fromLocalFile(QString::fromStdString(path)));
        QMimeData data;
        data.setUrls(urls);
        const QPoint at = form->DXDraw->geometry().center();
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(QPointF(at), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &dropped);
        EXPECT_EQ(dropped.dropAction(), Qt::CopyAction); // a file manager never moves the file away
        return dropped.isAccepted();
    }

    QImage renderedByQmtool(int level)
    {
        const QString out = QString::fromStdString(dir.path("render.png"));
        QProcess tool;
        tool.start(QMTOOL_PATH, {"lev", "render", QString::fromStdString(levelsfilepath), QString::number(level), out,
                                 "--gamedir", QString::fromStdString(dir.path())});
        EXPECT_TRUE(tool.waitForFinished(30000));
        EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
        return QImage(out).convertToFormat(QImage::Format_RGB888);
    }
};

TEST_F(Desktop, OpenAndSaveFillOpenRecentAndAChoiceRunsOpenWithItsQuestion)
{
    const std::string a = makeFile("a.lev"), b = makeFile("b&c.lev"), gone = makeFile("gone.lev");
    const QList<QAction *> file = form->findChild<QMenu *>("File1")->actions();
    ASSERT_EQ(file.indexOf(recentMenu()->menuAction()), file.indexOf(item("Openlevelsfile1")) + 1);

    // The command line, Open and Save as each put their file on top.
    closeLevelsDialog();
    form->openAtStart(QString::fromStdString(gone));
    fileAnswers.push_back(QString::fromStdString(a));
    closeLevelsDialog();
    item("Openlevelsfile1")->trigger();
    fileAnswers.push_back(QString::fromStdString(b));
    item("Saveas1")->trigger();
    ASSERT_EQ(storedList(), (QStringList{QString::fromStdString(b), QString::fromStdString(a),
                                         QString::fromStdString(gone)}));
    std::vector<QAction *> items = recentItems();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0]->text(), "b&&c.lev");
    EXPECT_EQ(items[0]->toolTip(), QFileInfo(QString::fromStdString(b)).path());
    EXPECT_EQ(items[2]->shortcut(), QKeySequence("Alt+3"));

    // Alt+2 with unsaved work: the question of Open first; Cancel keeps everything.
    saved = false;
    answer = MessageButton::Cancel;
    shortcut(Qt::Key_2, Qt::AltModifier);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Save changes to " + QString::fromStdString(b) + "?");
    EXPECT_EQ(levelsfilepath, b);
    answer = MessageButton::No;
    closeLevelsDialog();
    shortcut(Qt::Key_2, Qt::AltModifier);
    EXPECT_EQ(levelsfilepath, a);
    EXPECT_TRUE(saved);
    EXPECT_EQ(storedList().first(), QString::fromStdString(a));

    // A file that is gone: told, taken off the list, nothing else happens; the list keeps ten at most.
    std::filesystem::remove(gone);
    messages.clear();
    saved = false;
    recentItems().back()->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains("no longer exists")) << messages[0].toStdString();
    EXPECT_EQ(levelsfilepath, a);
    EXPECT_EQ(recentItems().size(), 2u);
    for (int k = 0; k < 12; ++k) {
        fileAnswers.push_back(QString::fromStdString(dir.path("save" + std::to_string(k) + ".lev")));
        item("Saveas1")->trigger();
    }
    EXPECT_EQ(storedList().size(), qsizetype(RecentFiles::kMaxFiles));
    EXPECT_EQ(storedList().first(), QString::fromStdString(dir.path("save11.lev")));
    form->findChild<QAction *>("ClearRecent1")->trigger();
    EXPECT_TRUE(storedList().isEmpty());
    EXPECT_TRUE(recentItems().empty());
}

TEST_F(Desktop, DroppedFilesOpenTheFirstLevelsFileOrImportIntoAnOpenFile)
{
    const std::string first = makeFile("first.lev"), second = makeFile("second.LEV");
    const std::string text = dir.path("notes.txt"), supaplex = dir.path("LEVELS.D01");
    qmtest::writeFile(text, std::string("notes"));
    qmtest::writeFile(supaplex, std::string(kSupaplexFileSize, '\0'));
    std::filesystem::create_directory(dir.path("folder.lev"));

    // Refused without a levels file open: nothing to import into, nothing else to open.
    EXPECT_FALSE(drop({text}));
    EXPECT_FALSE(drop({supaplex}));
    EXPECT_FALSE(drop({dir.path("folder.lev")}));
    EXPECT_FALSE(fileopen);

    closeLevelsDialog();
    ASSERT_TRUE(drop({text, second, first}));
    ASSERT_TRUE(waitUntil([] { return fileopen; }));
    EXPECT_EQ(levelsfilepath, second);
    EXPECT_TRUE(form->DXTimer.Enabled());

    // A Supaplex file with a file open: the import dialog on that file, without asking for one.
    int listed = -1;
    auto *watch = new QTimer(form.get());
    QObject::connect(watch, &QTimer::timeout, [&listed, watch] {
        if (auto *import = qobject_cast<TForm2 *>(QApplication::activeModalWidget())) {
            watch->stop();
            listed = import->ListBox1->count();
            import->reject();
        }
    });
    watch->start(1);
    ASSERT_TRUE(drop({text, supaplex}));
    ASSERT_TRUE(waitUntil([&] { return listed >= 0; }));
    EXPECT_EQ(listed, kSupaplexLevels);
    EXPECT_TRUE(fileDialogs.empty());
    EXPECT_EQ(levelsinfo.count, 1);
    EXPECT_TRUE(messages.empty());
}

TEST_F(Desktop, TheLevelsPictureIsQmtoolsRenderAndGoesToAFileOrTheClipboard)
{
    // No two items of the window answer the same keys.
    std::map<QString, QString> owner;
    for (const QAction *action : form->findChildren<QAction *>())
        for (const QKeySequence &key : action->shortcuts())
            EXPECT_TRUE(owner.emplace(key.toString(), action->objectName()).second)
                << key.toString().toStdString() << ": " << action->objectName().toStdString() << " and "
                << owner[key.toString()].toStdString();

    EXPECT_FALSE(item("Exportlevelpicture1")->isEnabled());
    const std::string path = makeFile("picture.lev", "A/B");
    closeLevelsDialog();
    form->openAtStart(QString::fromStdString(path));
    ASSERT_TRUE(item("Exportlevelpicture1")->isEnabled());
    levels[1].width = 7; // not square, and cells of several tiles, so that a swapped axis shows
    levels[1].height = 5;
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 7; ++c)
            levels[1].cellAt(r, c)->tile = 12 + (r * 7 + c) % 6;
    writelevelsfile();

    item("ShowStartSquareAndGrid1")->trigger();
    ASSERT_FALSE(item("ShowStartSquareAndGrid1")->isChecked());
    const QImage rendered = renderedByQmtool(1);
    ASSERT_EQ(rendered.size(), QSize(7 * kSquare, 5 * kSquare));
    fileAnswers.push_back(QString::fromStdString(dir.path("exported")));
    item("Exportlevelpicture1")->trigger();
    ASSERT_EQ(fileDialogs.back().initialName, "A_B.png");
    EXPECT_EQ(QImage(QString::fromStdString(dir.path("exported.png"))).convertToFormat(QImage::Format_RGB888),
              rendered);

    // With the overlays on, the grid's dots lie over the same picture; Ctrl+Shift+C copies it.
    item("ShowStartSquareAndGrid1")->trigger();
    shortcut(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    const QImage copied = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB888);
    ASSERT_EQ(copied.size(), rendered.size());
    EXPECT_NE(copied, rendered);
    EXPECT_EQ(copied.pixelColor(2 * kSquare, 7 * 2 + 1), rendered.pixelColor(2 * kSquare, 7 * 2 + 1));
    EXPECT_EQ(copied.pixelColor(2 * kSquare, 7 * 2), QColor(0x90, 0x90, 0x90));
    EXPECT_EQ(copied.pixelColor(5 * kSquare + 20, 3 * kSquare + 20), rendered.pixelColor(5 * kSquare + 20, 3 * kSquare + 20));

    // Past the largest surface (a size no file read gives): refused with the message, and the clipboard
    // keeps its picture.
    levels[1].width = levels[1].height = 110;
    shortcut(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    levels[1].width = levels[1].height = 5;
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), "The picture would be 4400 x 4400 pixels, more than the 16777216 a picture may have");
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB888), copied);
}

} // namespace
