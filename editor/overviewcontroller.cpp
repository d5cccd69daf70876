#include "overviewcontroller.h"

#include "editorsettings.h"
#include "leveldocument.h"
#include "overviewwindow.h"
#include "thumbnaillist.h"

#include "editor/core/levelclipboard.h"
#include "editor/core/levelcopy.h"

#include "commands/messagebox.h"
#include "commands/storetext.h"

#include "levels/levelstore.h"

#include "platform/errors.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QScreen>
#include <QWidget>

namespace qm {

namespace {

QString levelsText(size_t n) { return n == 1 ? QString("1 level") : QString("%1 levels").arg(n); }

} // namespace

OverviewController::OverviewController(QWidget *mainWindow, LevelDocument &document, const EditorSettings &settings,
                                       Host host)
    : QObject(mainWindow), mMainWindow(mainWindow), mDocument(document), mSettings(settings), mHost(std::move(host))
{
}

void OverviewController::show()
{
    if (!mWindow) {
        mWindow = new OverviewWindow(mMainWindow, mSettings.overviewSquare());
        mWindow->levelChosen = [this](int32_t level) { mHost.showLevel(level); };
        mWindow->levelsMoved = [this](std::vector<int32_t> numbers, int32_t before) { moveLevels(numbers, before); };
        mWindow->deleteLevels = [this](std::vector<int32_t> numbers) { deleteLevels(numbers); };
        mWindow->copyLevels = [this](std::vector<int32_t> numbers) { copyLevels(numbers); };
        mWindow->pasteLevels = [this] { pasteLevels(); };
        mWindow->squareChanged = [this](int32_t square) { mSettings.setOverviewSquare(square); };
        // Beside the map when the screen has room, so that both are seen.
        const QRect screen = mMainWindow->screen()->availableGeometry();
        const QPoint beside = mMainWindow->frameGeometry().topRight() + QPoint(8, 0);
        if (beside.x() + mWindow->width() <= screen.right())
            mWindow->move(beside);
    }
    mWindow->show();
    mWindow->raise();
    mWindow->activateWindow();
}

void OverviewController::storeChanged()
{
    if (mWindow)
        mWindow->storeChanged();
}

void OverviewController::moveLevels(const std::vector<int32_t> &numbers, int32_t before)
{
    mHost.runCommand([&] {
        if (!fileopen)
            return;
        mDocument.runStep(numbers.size() == 1 ? "Move Level" : "Move Levels",
                          [&](StoreStep &step) { qm::moveLevels(step, numbers, before); });
    });
}

void OverviewController::deleteLevels(const std::vector<int32_t> &numbers)
{
    if (!fileopen || numbers.empty())
        return;
    // Asked as the editor's other questions are: only while Ask Confirmations is on.
    if (askconfirmations) {
        const QString text = numbers.size() == 1
                                 ? QString("Delete level %1, \"%2\"?").arg(numbers[0]).arg(toQt(levels[numbers[0]].name))
                                 : QString("Delete the %1 selected levels?").arg(numbers.size());
        if (showMessage(MessageKind::Confirm, text, MessageButtons::YesNo, mWindow) != MessageButton::Yes)
            return;
    }
    bool deleted = false;
    mHost.runCommand([&] {
        mDocument.runStep(numbers.size() == 1 ? "Delete Level" : "Delete Levels",
                          [&](StoreStep &step) { qm::deleteLevels(step, numbers); });
        deleted = true;
    });
    if (!deleted)
        return;
    mWindow->list()->clearSelection();
    mWindow->showStatus("Deleted " + levelsText(numbers.size()) + ".");
}

void OverviewController::copyLevels(const std::vector<int32_t> &numbers)
{
    if (!fileopen)
        return;
    const std::vector<CarriedLevel> carried = carryLevels(numbers);
    const std::string bytes = levelsBytes(carried);
    auto *data = new QMimeData;
    data->setData(kLevelsMimeType, QByteArray(bytes.data(), qsizetype(bytes.size())));
    QStringList names;
    for (const CarriedLevel &level : carried)
        names << toQt(level.name);
    data->setText(names.join('\n') + '\n');
    QGuiApplication::clipboard()->setMimeData(data);
    mWindow->showStatus("Copied " + levelsText(carried.size()) + ".");
}

void OverviewController::pasteLevels()
{
    if (!fileopen)
        return;
    const QMimeData *held = QGuiApplication::clipboard()->mimeData();
    if (!held || !held->hasFormat(kLevelsMimeType)) {
        mWindow->showStatus("The clipboard holds no levels: nothing was pasted.");
        return;
    }
    const QByteArray bytes = held->data(kLevelsMimeType);
    std::vector<CarriedLevel> carried;
    try {
        carried = readLevelsBytes(std::string_view(bytes.constData(), size_t(bytes.size())));
    } catch (const Error &e) {
        mWindow->showStatus(QString::fromStdString(e.what()) + " Nothing was pasted.");
        return;
    }
    bool pasted = false;
    mHost.runCommand([&] {
        // The limit first: a full file changes nothing and says so as From Other .lev File does.
        requireRoomForCopies(carried.size());
        mDocument.runStep(carried.size() == 1 ? "Paste Level" : "Paste Levels",
                          [&](StoreStep &step) { appendCarriedLevels(carried, step); });
        pasted = true;
    });
    if (!pasted)
        return;
    // The first level pasted is shown, also in a file whose map was not started yet.
    mHost.showLevel(curlevel);
    mWindow->showStatus("Pasted " + levelsText(carried.size()) + ".");
}

} // namespace qm
