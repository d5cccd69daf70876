#include "overviewcontroller.h"

#include "overviewwindow.h"

#include <QScreen>
#include <QWidget>

namespace qm {

OverviewController::OverviewController(QWidget *mainWindow, std::function<void(int32_t)> showLevel)
    : QObject(mainWindow), mMainWindow(mainWindow), mShowLevel(std::move(showLevel))
{
}

void OverviewController::show()
{
    if (!mWindow) {
        mWindow = new OverviewWindow(mMainWindow);
        mWindow->levelChosen = [this](int32_t level) { mShowLevel(level); };
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

} // namespace qm
