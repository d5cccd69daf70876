#pragma once
// Edit → Resize Level…: the current level's new width and height, held to the levels dialog's rules
// (6..70 and even, the level's own size from its file taken as it stands), and a 3 × 3 grid of anchor
// buttons that says which side stays where it is. OK asks first when the shrink would cut the start
// square or an object of several squares; the command then resizes the level as one undo step.

#include "editor/core/levelresize.h"

#include <QDialog>
#include <array>

class QAbstractButton;
class QButtonGroup;
class QLineEdit;

namespace qm {

class LevelDocument;

class ResizeLevelDialog : public QDialog {
    Q_OBJECT

public:
    explicit ResizeLevelDialog(QWidget *parent = nullptr);

    // Shows level's size in the fields and the top-left anchor; widthOf sizes its strips and blocks
    // for the question about what a shrink cuts. The level must stay while the dialog is shown.
    void setLevel(const tlevel &level, TileWidth widthOf);
    // What OK accepted.
    const LevelResize &chosenResize() const { return mResize; }

    QAbstractButton *anchorButton(int32_t column, int32_t row) const;

private:
    void tryAccept();

    QLineEdit *mWidth = nullptr;
    QLineEdit *mHeight = nullptr;
    QButtonGroup *mAnchors = nullptr;
    const tlevel *mLevel = nullptr;
    TileWidth mWidthOf;
    LevelResize mResize;
};

// The command: resizes the current level as the dialog (made on first use, a child of parent) says,
// as one step of document's history; nothing without a current level or when the size stays.
void resizeLevelCommand(QWidget *parent, LevelDocument &document, const TileWidth &widthOf);

} // namespace qm
