#include "resizeleveldialog.h"

#include "leveldocument.h"

#include "commands/messagebox.h"
#include "commands/qmeditor3.h"
#include "commands/storetext.h"
#include "editor/core/mapediting.h"
#include "platform/numbers.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace qm {

namespace {

// The anchor buttons show where the level grows from, row by row: the corner or side that stays.
const char *const kAnchorGlyphs[3][3] = {
    {"\u2196", "\u2191", "\u2197"},
    {"\u2190", "\u2022", "\u2192"},
    {"\u2199", "\u2193", "\u2198"},
};
const char *const kAnchorTips[3][3] = {
    {"Keep the top left corner", "Keep the top, centred", "Keep the top right corner"},
    {"Keep the left side, centred", "Keep the middle", "Keep the right side, centred"},
    {"Keep the bottom left corner", "Keep the bottom, centred", "Keep the bottom right corner"},
};

int anchorId(int32_t column, int32_t row) { return int(row * 3 + column); }

} // namespace

ResizeLevelDialog::ResizeLevelDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName("resizeLevelDialog");
    setWindowTitle("Resize Level");

    mWidth = new QLineEdit(this);
    mWidth->setObjectName("width");
    mHeight = new QLineEdit(this);
    mHeight->setObjectName("height");
    auto *sizes = new QFormLayout;
    sizes->addRow("&Width:", mWidth);
    sizes->addRow("&Height:", mHeight);

    auto *anchorBox = new QGroupBox("Anchor", this);
    auto *grid = new QGridLayout(anchorBox);
    mAnchors = new QButtonGroup(this);
    mAnchors->setExclusive(true);
    for (int32_t row = 0; row < 3; ++row)
        for (int32_t column = 0; column < 3; ++column) {
            auto *button = new QToolButton(anchorBox);
            button->setObjectName(QString("anchor%1%2").arg(column).arg(row));
            button->setText(QString::fromUtf8(kAnchorGlyphs[row][column]));
            button->setToolTip(kAnchorTips[row][column]);
            button->setCheckable(true);
            button->setFixedSize(32, 32);
            mAnchors->addButton(button, anchorId(column, row));
            grid->addWidget(button, row, column);
        }

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ResizeLevelDialog::tryAccept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(sizes);
    layout->addWidget(anchorBox);
    layout->addWidget(buttons);
}

void ResizeLevelDialog::setLevel(const tlevel &level, TileWidth widthOf)
{
    mLevel = &level;
    mWidthOf = std::move(widthOf);
    mWidth->setText(QString::number(level.width));
    mHeight->setText(QString::number(level.height));
    anchorButton(0, 0)->setChecked(true);
    mWidth->setFocus();
    mWidth->selectAll();
}

QAbstractButton *ResizeLevelDialog::anchorButton(int32_t column, int32_t row) const
{
    return mAnchors->button(anchorId(column, row));
}

void ResizeLevelDialog::tryAccept()
{
    if (!mLevel)
        return;
    // The levels dialog's own checks of a size; its start square is not asked here.
    LevelFieldTexts fields;
    fields.width = fromQt(mWidth->text());
    fields.height = fromQt(mHeight->text());
    fields.column = fields.row = "1";
    const LevelFieldCheck check = checkLevelFields(fields, mLevel);
    for (const LevelFieldCorrection &correction : check.corrections) {
        if (correction.field != LevelField::Width && correction.field != LevelField::Height)
            continue;
        (correction.field == LevelField::Width ? mWidth : mHeight)->setText(toQt(correction.text));
        showMessage(MessageKind::Information, toQt(correction.message), MessageButtons::Ok, this);
    }
    if (check.conversionError) {
        showError(toQt(*check.conversionError), this);
        return;
    }
    if (!check.valid())
        return;

    const int id = mAnchors->checkedId();
    mResize = LevelResize{strToInt(fields.width), strToInt(fields.height), {id % 3, id / 3}};
    const ResizeCuts cuts = resizeCuts(*mLevel, mResize, mWidthOf);
    if (cuts.any()
        && showMessage(MessageKind::Confirm, toQt(cutsQuestion(cuts)), MessageButtons::YesNo, this) != MessageButton::Yes)
        return;
    accept();
}

void resizeLevelCommand(QWidget *parent, LevelDocument &document, const TileWidth &widthOf)
{
    if (!fileopen || curlevel < 1 || curlevel > levelsinfo.count)
        return;
    auto *dialog = parent->findChild<ResizeLevelDialog *>(QString(), Qt::FindDirectChildrenOnly);
    if (!dialog)
        dialog = new ResizeLevelDialog(parent);
    dialog->setLevel(levels[curlevel], widthOf);
    if (dialog->exec() != QDialog::Accepted)
        return;
    const LevelResize resize = dialog->chosenResize();
    document.runStep("Resize Level", [&](StoreStep &step) { resizeStoreLevel(step, curlevel, resize); });
    // A smaller level may leave the view past its edges.
    clampView();
}

} // namespace qm
