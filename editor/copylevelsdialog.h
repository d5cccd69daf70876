#pragma once
// The dialog of "From Other .lev File": the levels of the chosen file as thumbnails with their
// numbers, names and sizes; the user selects one or more (Ctrl and Shift add to the selection) and
// copies them.

#include "editor/core/thumbnailcache.h"

#include "levels/levelsfile.h"

#include <QDialog>
#include <cstdint>
#include <vector>

class QPushButton;

namespace qm {

class ThumbnailList;

class CopyLevelsDialog : public QDialog {
    Q_OBJECT

public:
    // file: read and checked; fileName: how the title names it.
    CopyLevelsDialog(const LevelsFileContent &file, const QString &fileName, QWidget *parent = nullptr);

    // The selected levels' numbers in the file, in the file's order.
    std::vector<int32_t> chosen() const;

    ThumbnailList *list = nullptr;
    QPushButton *copyButton = nullptr;
    QPushButton *cancelButton = nullptr;

private:
    const LevelsFileContent &mFile;
    ThumbnailTileCache mTiles;
};

} // namespace qm
