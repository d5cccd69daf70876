#pragma once
// The open file on disk as the editor read or last wrote it, kept to see whether another program
// changed it since: Save asks before writing over such a change, and when the window becomes active
// the user is asked once for each change to save over it (unsaved work) or to read it again (saved
// work).

#include "platform/fileio.h"

#include <QObject>
#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace qm {

class LevelDocument;

class DiskWatch : public QObject {
    Q_OBJECT

public:
    struct Host {
        std::function<void()> save;   // Save, after the user chose to write over the change
        std::function<void()> reload; // the file read again, after the user chose to
    };

    DiskWatch(QWidget *mainWindow, LevelDocument &document, Host host);

    // The open file (levelsfilepath) as it is on disk now: just read or written.
    void remember();
    // No file open: nothing to watch.
    void forget() { mIdentity.reset(); }
    // Whether Save may write path: yes unless it is the file read or last written and another program
    // changed it since, and the user answers No to the question.
    bool mayWriteOver(const std::string &path);
    // Asks about a change of the open file not asked about yet; whether it asked.
    bool checkFile();

private:
    QWidget *mMainWindow;
    LevelDocument &mDocument;
    Host mHost;
    std::string mPath; // the file read or last written, and what it was then
    std::optional<FileIdentity> mIdentity;
    std::optional<FileIdentity> mAskedIdentity; // the change of the file the user was last asked about
    bool mChecking = false;
};

} // namespace qm
