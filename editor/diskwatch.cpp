#include "diskwatch.h"

#include "leveldocument.h"

#include "commands/messagebox.h"
#include "commands/filedialogs.h"

#include "levels/levelstore.h"

#include <QScopeGuard>
#include <QWidget>

namespace qm {

namespace {

QString changedOnDisk(const std::string &path, const char *question)
{
    return "The file " + fromPath(path) + " was changed by another program since it was opened. " + question;
}

} // namespace

DiskWatch::DiskWatch(QWidget *mainWindow, LevelDocument &document, Host host)
    : QObject(mainWindow), mMainWindow(mainWindow), mDocument(document), mHost(std::move(host))
{
}

void DiskWatch::remember()
{
    mPath = levelsfilepath;
    mIdentity = levelsfilepath.empty() ? std::nullopt : fileIdentity(levelsfilepath);
    mAskedIdentity.reset();
}

bool DiskWatch::mayWriteOver(const std::string &path)
{
    if (!mIdentity || path != mPath)
        return true;
    // A file that is gone is written anew; one that another program wrote is the user's to give up.
    const std::optional<FileIdentity> now = fileIdentity(path);
    if (!now || *now == *mIdentity)
        return true;
    return showMessage(MessageKind::Confirm, changedOnDisk(path, "Save over it?"), MessageButtons::YesNo,
                       mMainWindow)
           == MessageButton::Yes;
}

bool DiskWatch::checkFile()
{
    if (mChecking || !fileopen || !mIdentity || mPath != levelsfilepath)
        return false;
    const std::optional<FileIdentity> now = fileIdentity(levelsfilepath);
    if (!now || *now == *mIdentity || (mAskedIdentity && *now == *mAskedIdentity))
        return false;
    mChecking = true;
    const auto done = qScopeGuard([this] { mChecking = false; });
    mAskedIdentity = now;
    mDocument.endStroke();
    if (!saved) {
        if (showMessage(MessageKind::Confirm, changedOnDisk(levelsfilepath, "Save over it?"), MessageButtons::YesNo,
                        mMainWindow)
            != MessageButton::Yes)
            return true; // the work stays unsaved; Save asks again
        mIdentity = now; // answered: Save writes without asking once more
        mHost.save();
    } else if (showMessage(MessageKind::Confirm, changedOnDisk(levelsfilepath, "Reload it?"), MessageButtons::YesNo,
                           mMainWindow)
               == MessageButton::Yes) {
        mHost.reload();
    }
    return true;
}

} // namespace qm
