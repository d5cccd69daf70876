#pragma once
// The two level commands of the File menu: Add Level and Delete curent Level. The main window's
// Newlevel1Click and Deletelevel1Click call them; neither changes saved.

#include <functional>
#include <string>

namespace qm {

class StoreStep;
class Tnewlevel;

// Add Level: appends a default level, makes it current and shows the levels dialog modally with it
// selected. When the dialog closes through Edit (dialogok), the level stays and the tiles of the
// current level are loaded through loadTiles when its graphics file differs from loadeddxg (which is
// then set). When it is cancelled, exactly the added level is removed again, even if the user moved
// levels or made another level current in the dialog, and the level that was current before becomes
// current again (wherever the dialog moved it). On a full store nothing is added and the reason is
// shown in an error box; a failure to load the tiles is shown in an error box too.
// Returns whether the added level was kept. With a step, the level added (and removed again) is
// recorded in it; a cancelled Add that changed nothing else leaves the step without edits.
bool addLevelCommand(Tnewlevel &dialog, const std::function<void(const std::string &dxgName)> &loadTiles,
                     StoreStep *step = nullptr);

// Delete curent Level: while a file is open, removes the current level (no question) and returns to
// the level that was current before the latest Add Level. Whenever the file still holds levels, the
// current level afterwards is one of them (1..count); with no level left it is 0. The removal is
// recorded in step when given.
void deleteCurrentLevelCommand(StoreStep *step = nullptr);

} // namespace qm
