#include "replacetiledialog.h"

#include "leveldocument.h"

#include "commands/storetext.h"

#include "levels/gamerules.h"
#include "levels/levelstore.h"
#include "levels/palette.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <limits>

namespace qm {

namespace {

// A tile number with its name beside it, which follows the number.
QSpinBox *tileField(QWidget *parent, const char *name, int32_t lowest, int32_t value, QLabel *&words)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(lowest, kHighestReplaceTile);
    box->setValue(value);
    words = new QLabel(parent);
    words->setObjectName(QString(name) + "Name");
    // Wide enough for the longer names, so that the dialog does not change its size while typing.
    words->setMinimumWidth(words->fontMetrics().horizontalAdvance(QString(28, 'n')));
    const auto showName = [box, words] { words->setText(toQt(tileWords(box->value()))); };
    QObject::connect(box, &QSpinBox::valueChanged, words, showName);
    showName();
    return box;
}

QWidget *besideEachOther(QWidget *parent, QWidget *a, QWidget *b)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(a);
    layout->addWidget(b, 1);
    return row;
}

} // namespace

ReplaceTileDialog::ReplaceTileDialog(int32_t from, int32_t to, LevelTileWidth widthsOf, QWidget *parent)
    : QDialog(parent), mWidthsOf(std::move(widthsOf))
{
    setObjectName("replaceTileDialog");
    setWindowTitle("Replace Tile");
    fromBox = tileField(this, "fromTile", 0, from, fromName);
    toBox = tileField(this, "toTile", 1, to, toName);
    patternCheck = new QCheckBox("Only &pattern", this);
    patternCheck->setObjectName("patternCheck");
    patternBox = new QSpinBox(this);
    patternBox->setObjectName("pattern");
    patternBox->setRange(0, std::numeric_limits<int>::max());
    patternBox->setEnabled(false);
    currentLevel = new QRadioButton("&Current level", this);
    currentLevel->setObjectName("currentLevel");
    currentLevel->setChecked(true);
    allLevels = new QRadioButton("&All levels", this);
    allLevels->setObjectName("allLevels");
    countLabel = new QLabel(this);
    countLabel->setObjectName("replaceCount");

    auto *buttons = new QDialogButtonBox(this);
    replaceButton = buttons->addButton("&Replace", QDialogButtonBox::AcceptRole);
    replaceButton->setObjectName("replaceButton");
    cancelButton = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    cancelButton->setObjectName("cancelButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *form = new QFormLayout;
    form->addRow("&Replace tile:", besideEachOther(this, fromBox, fromName));
    form->addRow("&With tile:", besideEachOther(this, toBox, toName));
    form->addRow(patternCheck, patternBox);
    form->addRow("In:", besideEachOther(this, currentLevel, allLevels));
    form->addRow("Found:", countLabel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(patternCheck, &QCheckBox::toggled, patternBox, &QWidget::setEnabled);
    for (QSpinBox *box : {fromBox, toBox, patternBox})
        connect(box, &QSpinBox::valueChanged, this, &ReplaceTileDialog::recount);
    for (QAbstractButton *button : std::initializer_list<QAbstractButton *>{patternCheck, currentLevel, allLevels})
        connect(button, &QAbstractButton::toggled, this, &ReplaceTileDialog::recount);
    recount();
}

TileReplace ReplaceTileDialog::request() const
{
    TileReplace replace{fromBox->value(), toBox->value()};
    if (patternCheck->isChecked())
        replace.pattern = patternBox->value();
    replace.level = allLevels->isChecked() ? 0 : curlevel;
    return replace;
}

void ReplaceTileDialog::recount()
{
    const TileReplace replace = request();
    mCount = countReplacements(replace, mWidthsOf);
    countLabel->setText(replace.from == replace.to ? QString("nothing: the tiles are the same")
                                                   : toQt(replaceCountText(mCount)));
    replaceButton->setEnabled(mCount.squares > 0);
}

void replaceTileCommand(QWidget *parent, LevelDocument &document, const TileWidth &loadedWidths,
                        const std::function<void(const QString &)> &tell)
{
    if (!fileopen || curlevel < 1 || curlevel > levelsinfo.count)
        return;
    // The tile replaced last is asked for again; the tile carried now is what it becomes.
    static int32_t lastFrom = kTileBase;
    const int32_t carried = selectedtile();
    const int32_t to = carried >= 1 && carried <= kHighestReplaceTile ? carried : kTileBase;
    document.endStroke();
    GraphicsFiles others;
    const LevelTileWidth widthsOf = [&](int32_t k) {
        return levels[k].dxg == loadeddxg ? loadedWidths : levelTileWidth(others, gamedir, k);
    };
    ReplaceTileDialog dialog(lastFrom, to, widthsOf, parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const TileReplace replace = dialog.request();
    lastFrom = replace.from;
    ReplaceCount done;
    if (countReplacements(replace, widthsOf).squares > 0)
        document.runStep("Replace Tile", [&](StoreStep &step) { done = replaceTile(step, replace, widthsOf); });
    tell("Replaced " + toQt(replaceCountText(done)));
}

} // namespace qm
