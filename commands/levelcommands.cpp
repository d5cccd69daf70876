#include "levelcommands.h"

#include <algorithm>

#include "levels/levelstore.h"
#include "levels/storestep.h"
#include "messagebox.h"
#include "platform/errors.h"
#include "qmeditor3.h"

namespace qm {

namespace {

// A current level that is not a level of the file becomes the nearest one that is.
void keepCurrentLevelInFile()
{
    if (levelsinfo.count >= 1)
        curlevel = std::clamp(curlevel, 1, levelsinfo.count);
    else
        curlevel = 0;
}

} // namespace

bool addLevelCommand(Tnewlevel &dialog, const std::function<void(const std::string &)> &loadTiles, StoreStep *step)
{
    StoreStep unkept;
    StoreStep &recorded = step ? *step : unkept;
    try {
        addlevel();
    } catch (const Error &e) {
        showError(QString::fromUtf8(e.what()), &dialog);
        return false;
    }
    recorded.levelInserted(curlevel);
    dialogok = false;
    dialog.markAddedLevel(curlevel, prevlevel);
    dialog.exec();
    const int32_t added = dialog.markedLevel();
    int32_t returnTo = dialog.markedReturnLevel();
    dialog.clearMarks();

    if (dialogok) {
        try {
            const std::string &dxg = levels[curlevel].dxg;
            if (loadeddxg != dxg) {
                if (loadTiles)
                    loadTiles(dxg);
                loadeddxg = dxg;
            }
        } catch (const Error &e) {
            showError(QString::fromUtf8(e.what()), &dialog);
        }
        return true;
    }

    if (added >= 1) {
        // The level to return to moves down one place when it lies after the removed one.
        if (returnTo > added)
            --returnTo;
        recorded.removeInserted(added);
        curlevel = prevlevel = returnTo;
    } else if (returnTo >= 1) {
        // The user deleted the added level in the dialog already.
        curlevel = returnTo;
    }
    keepCurrentLevelInFile();
    return false;
}

void deleteCurrentLevelCommand(StoreStep *step)
{
    if (!fileopen)
        return;
    // The level to return to keeps its identity when it lies after the removed level.
    if (curlevel >= 1 && curlevel <= levelsinfo.count && prevlevel > curlevel)
        --prevlevel;
    StoreStep unkept;
    (step ? *step : unkept).deleteLevel(curlevel);
    curlevel = prevlevel;
    keepCurrentLevelInFile();
}

} // namespace qm
