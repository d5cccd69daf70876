// "Levels Overview" of the Options menu: the window of thumbnails beside the map, told of every
// change to the store, and a double-clicked level made current as the levels dialog's Edit does.

#include "qmeditorunit1.h"

#include "overviewwindow.h"

#include <QMenu>
#include <QScreen>

namespace qm {

void TMainForm::overviewClick()
{
    if (!mOverview) {
        mOverview = new OverviewWindow(this);
        mOverview->levelChosen = [this](int32_t level) { guarded([&] { showFinding(level, std::nullopt); }); };
        // Beside the map when the screen has room, so that both are seen.
        const QRect screen = this->screen()->availableGeometry();
        const QPoint beside = frameGeometry().topRight() + QPoint(8, 0);
        if (beside.x() + mOverview->width() <= screen.right())
            mOverview->move(beside);
    }
    mOverview->show();
    mOverview->raise();
    mOverview->activateWindow();
}

void TMainForm::overviewFollows()
{
    if (mOverview)
        mOverview->storeChanged();
}

} // namespace qm
