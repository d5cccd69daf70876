// "From Other .lev File": copies levels of another levels file after the last level of the open one,
// as one step of the undo history.

#include "qmeditorunit1.h"

#include "copylevelsdialog.h"
#include "editor/core/levelcopy.h"

#include "commands/filedialogs.h"

#include "levels/levelsfile.h"
#include "levels/levelstore.h"

#include <QFileInfo>

namespace qm {

void TMainForm::fromotherlevfile1Click()
{
    // A full file is refused before anything is asked: no file to pick, no level to choose.
    requireRoomForCopies(1);
    const QString path = showFileDialog({FileDialogRequest::Mode::Open, kOpenLevelsTitle, kOpenLevelsFilter,
                                         fromPath(gamedir), QString(), false},
                                        this);
    if (path.isEmpty())
        return;
    // Read and checked whole by Open's reader before anything changes.
    const LevelsFileContent file = loadLevelsFile(toPath(path));
    CopyLevelsDialog dialog(file, QFileInfo(path).fileName(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::vector<int32_t> chosen = dialog.chosen();
    if (chosen.empty())
        return;
    requireRoomForCopies(chosen.size());
    mDocument->runStep(chosen.size() == 1 ? "Copy Level" : "Copy Levels",
               [&](StoreStep &step) { appendLevelCopies(file, chosen, &step); });
    // The first copy is shown, also in a file whose map was not started yet.
    if (!mapShown())
        showMap();
    followCurrentLevel();
}

} // namespace qm
