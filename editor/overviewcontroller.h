#pragma once
// "Levels Overview" of the Options menu: the window of thumbnails beside the map, made when first
// shown, told of every change to the store. What the user does there (a double-click, a drag, Delete,
// Copy and Paste of levels, the thumbnails' size) is done here: each change of the file is one step of
// the document's history, run as a menu command is.

#include <QObject>
#include <cstdint>
#include <functional>
#include <vector>

class QWidget;

namespace qm {

class EditorSettings;
class LevelDocument;
class OverviewWindow;

class OverviewController : public QObject {
    Q_OBJECT

public:
    struct Host {
        // Makes level current and shows it on the map (started if it was not).
        std::function<void(int32_t level)> showLevel;
        // Runs a change as a menu command: a failure in an error box, then the window follows.
        std::function<void(const std::function<void()> &work)> runCommand;
    };

    OverviewController(QWidget *mainWindow, LevelDocument &document, const EditorSettings &settings, Host host);

    void show();
    // After a change of the store: the overview, when open, compares its thumbnails with it soon.
    void storeChanged();

    OverviewWindow *window() const { return mWindow; }

private:
    void moveLevels(const std::vector<int32_t> &numbers, int32_t before);
    void deleteLevels(const std::vector<int32_t> &numbers);
    void copyLevels(const std::vector<int32_t> &numbers);
    void pasteLevels();

    QWidget *mMainWindow;
    LevelDocument &mDocument;
    const EditorSettings &mSettings;
    Host mHost;
    OverviewWindow *mWindow = nullptr;
};

} // namespace qm
