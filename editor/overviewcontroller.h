#pragma once
// "Levels Overview" of the Options menu: the window of thumbnails beside the map, made when first
// shown, told of every change to the store; a double-clicked level is shown through showLevel.

#include <QObject>
#include <cstdint>
#include <functional>

class QWidget;

namespace qm {

class OverviewWindow;

class OverviewController : public QObject {
    Q_OBJECT

public:
    OverviewController(QWidget *mainWindow, std::function<void(int32_t level)> showLevel);

    void show();
    // After a change of the store: the overview, when open, compares its thumbnails with it soon.
    void storeChanged();

private:
    QWidget *mMainWindow;
    std::function<void(int32_t)> mShowLevel;
    OverviewWindow *mWindow = nullptr;
};

} // namespace qm
