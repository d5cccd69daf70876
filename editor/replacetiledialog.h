#pragma once
// Edit → Replace Tile…: every square of one tile, optionally of one pattern, in the current level or in
// all levels becomes another tile. The dialog shows what would be replaced while the fields change
// ("37 squares in 4 levels"); the replacing itself is core/replacetile.h, one step of the history.

#include "editor/core/replacetile.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace qm {

class LevelDocument;

class ReplaceTileDialog : public QDialog {
    Q_OBJECT

public:
    // from, to: the tiles shown first. widthsOf: the picture widths each level paints with.
    ReplaceTileDialog(int32_t from, int32_t to, LevelTileWidth widthsOf, QWidget *parent = nullptr);

    // What the fields ask for.
    TileReplace request() const;
    // What it would replace, as counted for the fields now.
    ReplaceCount count() const { return mCount; }

    QSpinBox *fromBox = nullptr;
    QLabel *fromName = nullptr;
    QSpinBox *toBox = nullptr;
    QLabel *toName = nullptr;
    QCheckBox *patternCheck = nullptr;
    QSpinBox *patternBox = nullptr;
    QRadioButton *currentLevel = nullptr;
    QRadioButton *allLevels = nullptr;
    QLabel *countLabel = nullptr;
    QPushButton *replaceButton = nullptr;
    QPushButton *cancelButton = nullptr;

private:
    void recount();

    LevelTileWidth mWidthsOf;
    ReplaceCount mCount;
};

// The command: asks with the dialog, replaces as one step named "Replace Tile" and tells the status
// line what it replaced ("Replaced 37 squares in 4 levels"). Levels painted with the graphics file
// loaded now take its widths (loadedWidths); the others have theirs read from the game directory.
void replaceTileCommand(QWidget *parent, LevelDocument &document, const TileWidth &loadedWidths,
                        const std::function<void(const QString &)> &tell);

} // namespace qm
