#include "qmeditor3.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <algorithm>
#include <memory>
#include <utility>

#include "messagebox.h"
#include "storetext.h"
#include "platform/errors.h"
#include "levels/datafilename.h"
#include "platform/files.h"
#include "platform/numbers.h"
#include "levels/startsquare.h"

namespace qm {

namespace {

const char *const kMissingGraphicsFile = "The dxg graphics file you choosed dose'nt exist!";
const char *const kNoLevel = "The levels file holds no level.\r\nAdd a level first";

std::string &fieldText(LevelFieldTexts &fields, LevelField field)
{
    switch (field) {
    case LevelField::Width:
        return fields.width;
    case LevelField::Height:
        return fields.height;
    case LevelField::Column:
        return fields.column;
    case LevelField::Row:
        return fields.row;
    }
    return fields.width;
}

// Whether two levels hold the same properties and cells: a store of the same values is no change.
bool sameLevel(const tlevel &a, const tlevel &b)
{
    const cell *first = &a.cells[0][0];
    return a.dxg == b.dxg && a.name == b.name && a.startx == b.startx && a.starty == b.starty
           && a.reserved == b.reserved && a.width == b.width && a.height == b.height && a.infotrons == b.infotrons
           && std::equal(first, first + size_t(kGridSize) * kGridSize, &b.cells[0][0]);
}

} // namespace

LevelFieldCheck checkLevelFields(LevelFieldTexts &fields, const tlevel *stored)
{
    LevelFieldCheck check;
    auto correct = [&](LevelField field, int32_t value, std::string message) {
        fieldText(fields, field) = std::to_string(value);
        check.corrections.push_back({field, std::to_string(value), std::move(message)});
    };
    // A size must be even and within 6..70; the minimum check comes first, so -7 becomes 6.
    auto checkSize = [&](LevelField field, const char *what) {
        if (stored) {
            const int32_t own = field == LevelField::Width ? stored->width : stored->height;
            if (own >= 1 && own <= kGridSize && strToInt(fieldText(fields, field)) == own)
                return;
        }
        if (strToInt(fieldText(fields, field)) < 6)
            correct(field, 6, std::string("The minimum ") + what + " is 6!");
        if (strToInt(fieldText(fields, field)) > 70)
            correct(field, 70, std::string("The maximum ") + what + " is 70.");
        int32_t v = strToInt(fieldText(fields, field));
        if (v % 2 != 0)
            correct(field, v / 2 * 2, std::string("The ") + what + " cannot have an impair value!");
    };
    auto checkStart = [&](LevelField field, LevelField limitField, const char *what) {
        if (strToInt(fieldText(fields, field)) < 1)
            correct(field, 1, std::string("Edit start position ") + what + " cannot be smaller that 1!");
        int32_t limit = strToInt(fieldText(fields, limitField));
        if (strToInt(fieldText(fields, field)) > limit)
            correct(field, limit,
                    std::string("Edit start position ") + what + " cannot be bigger than " + std::to_string(limit) + "!");
    };
    try {
        checkSize(LevelField::Width, "width");
        checkSize(LevelField::Height, "height");
        checkStart(LevelField::Column, LevelField::Width, "column");
        checkStart(LevelField::Row, LevelField::Height, "row");
    } catch (const EConvertError &e) {
        check.conversionError = e.what();
    }
    return check;
}

LevelProperties readLevelProperties(const LevelFieldTexts &fields)
{
    LevelProperties p;
    p.name = fields.name;
    p.dxg = fields.dxg;
    p.width = strToInt(fields.width);
    p.height = strToInt(fields.height);
    p.column = strToInt(fields.column);
    p.row = strToInt(fields.row);
    p.infotrons = strToInt(fields.infotrons);
    return p;
}

LevelFieldTexts levelFieldTexts(const tlevel &level)
{
    LevelFieldTexts t;
    t.name = level.name;
    t.dxg = level.dxg;
    t.width = std::to_string(level.width);
    t.height = std::to_string(level.height);
    t.infotrons = std::to_string(level.infotrons);
    t.column = std::to_string(startSquareOf(level.startx));
    t.row = std::to_string(startSquareOf(level.starty));
    return t;
}

LevelProperties limitSavedProperties(LevelProperties p)
{
    p.width = std::clamp(p.width, 1, kGridSize);
    p.height = std::clamp(p.height, 1, kGridSize);
    p.column = std::clamp(p.column, 1, p.width);
    p.row = std::clamp(p.row, 1, p.height);
    p.infotrons = std::max(p.infotrons, 0);
    return p;
}

void storeLevelProperties(tlevel &level, const LevelProperties &p)
{
    level.name = p.name;
    level.dxg = p.dxg;
    level.width = p.width;
    level.height = p.height;
    level.startx = startPixelOf(p.column);
    level.starty = startPixelOf(p.row);
    level.infotrons = p.infotrons;
}

void storeEditedLevel(tlevel &level, const LevelProperties &p)
{
    level.name = p.name;
    level.dxg = p.dxg;
    // New columns of the rows the level already has, then the new rows in the new width.
    if (level.width < p.width) {
        for (int r = 1; r <= level.height; ++r)
            for (int c = level.width + 1; c <= p.width; ++c)
                if (cell *square = level.cellAt(r, c))
                    *square = kDefaultCell;
    }
    level.width = p.width;
    if (level.height < p.height) {
        for (int r = level.height + 1; r <= p.height; ++r)
            for (int c = 1; c <= p.width; ++c)
                if (cell *square = level.cellAt(r, c))
                    *square = kDefaultCell;
    }
    level.height = p.height;
    level.startx = startPixelOf(p.column);
    level.starty = startPixelOf(p.row);
    level.infotrons = p.infotrons;
}

// ---------------------------------------------------------------------------------------------

Tnewlevel::Tnewlevel(TileLoader loadTiles, QWidget *parent) : QDialog(parent), mLoadTiles(std::move(loadTiles))
{
    setObjectName("newlevel");
    setWindowTitle("Levels");
    setFixedSize(445, 295);

    Label1 = new QLabel("Levels list:", this);
    Label1->setGeometry(8, 6, 120, 16);

    StringGrid1 = new QTableWidget(1, 2, this);
    StringGrid1->setObjectName("StringGrid1");
    StringGrid1->setGeometry(8, 24, 217, 225);
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setMinimumSectionSize(1);
    StringGrid1->verticalHeader()->setDefaultSectionSize(18);
    StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid1->setColumnWidth(0, 27);
    StringGrid1->setColumnWidth(1, 170);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setWordWrap(false);

    GroupBox1 = new QGroupBox(" Properties ", this);
    GroupBox1->setGeometry(232, 8, 205, 241);

    auto label = [this](const char *text, int x, int y, int w) {
        auto *l = new QLabel(text, GroupBox1);
        l->setGeometry(x, y, w, 16);
        return l;
    };
    auto edit = [this](const char *name, const char *text, int x, int y, int w) {
        auto *e = new QLineEdit(text, GroupBox1);
        e->setObjectName(name);
        e->setGeometry(x, y, w, 21);
        return e;
    };

    Label2 = label("Level name:", 10, 16, 185);
    namel = edit("namel", "", 10, 32, 185);

    Label3 = label("Graphics file:", 10, 56, 185);
    dxgl = new QComboBox(GroupBox1);
    dxgl->setObjectName("dxgl");
    dxgl->setEditable(true);
    dxgl->setInsertPolicy(QComboBox::NoInsert);
    dxgl->addItems({"computer.dxg", "forest.dxg", "underground.dxg", "kitchen.dxg"});
    dxgl->setCurrentText("computer.dxg");
    dxgl->setGeometry(10, 72, 185, 22);
    dxgl->installEventFilter(this);

    Label4 = label("Width:", 10, 98, 55);
    nrxl = edit("nrxl", "40", 10, 114, 50);
    nrxl->setToolTip("The number of horizontal squares");
    Label5 = label("Height:", 70, 98, 55);
    nryl = edit("nryl", "40", 70, 114, 50);
    nryl->setToolTip("The number of vertical squares");
    // The infotrons get a row of their own, so that the whole label shows.
    Label6 = label("Needed infotrons:", 10, 142, 108);
    nril = edit("nril", "0", 120, 139, 75);
    nril->setToolTip("Number of infotrons needed to finish the level");

    Label7 = label("Eddie start position:", 10, 166, 185);
    Label8 = label("X:", 10, 184, 14);
    sxl = edit("sxl", "2", 26, 181, 40);
    Label9 = label("Y:", 80, 184, 14);
    syl = edit("syl", "2", 96, 181, 40);

    auto button = [](QWidget *owner, const char *name, const char *text, const char *hint, int x, int y) {
        auto *b = new QPushButton(text, owner);
        b->setObjectName(name);
        b->setGeometry(x, y, 81, 25);
        b->setAutoDefault(false);
        if (hint)
            b->setToolTip(hint);
        return b;
    };
    Button2 = button(GroupBox1, "Button2", "Save it", "Save the level settings", 10, 208);
    Button1 = button(this, "Button1", "Move Up", "Move this level up with one position", 8, 260);
    Button3 = button(this, "Button3", "Move Down", "Move this level down with one position", 95, 260);
    Button4 = button(this, "Button4", "Delete", "Delete this level", 182, 260);
    Button5 = button(this, "Button5", "Edit", nullptr, 269, 260);
    Button6 = button(this, "Button6", "Cancel", nullptr, 356, 260);

    connect(StringGrid1, &QTableWidget::currentCellChanged, this, [this](int row, int, int previousRow, int) {
        if (!mFilling && row != previousRow)
            run([this] { StringGrid1Click(); });
    });
    connect(StringGrid1, &QTableWidget::cellClicked, this, [this] { run([this] { StringGrid1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { run([this] { Button2Click(); }); });
    connect(Button1, &QPushButton::clicked, this, [this] { run([this] { Button1Click(); }); });
    connect(Button3, &QPushButton::clicked, this, [this] { run([this] { Button3Click(); }); });
    connect(Button4, &QPushButton::clicked, this, [this] { run([this] { Button4Click(); }); });
    connect(Button5, &QPushButton::clicked, this, [this] { run([this] { Edit(); }); });
    connect(Button6, &QPushButton::clicked, this, [this] { run([this] { Button6Click(); }); });
}

// A failure inside a handler ends the handler and is shown in an error box.
template <typename Handler> void Tnewlevel::run(Handler handler)
{
    try {
        handler();
    } catch (const Error &e) {
        showError(QString::fromUtf8(e.what()), this);
    }
}

void Tnewlevel::markAddedLevel(int32_t added, int32_t returnTo)
{
    mMarkedLevel = added;
    mMarkedReturn = returnTo;
}

void Tnewlevel::moveMarksForSwap(int32_t a, int32_t b)
{
    for (int32_t *mark : {&mMarkedLevel, &mMarkedReturn}) {
        if (*mark == a)
            *mark = b;
        else if (*mark == b)
            *mark = a;
    }
}

void Tnewlevel::moveMarksForDelete(int32_t deleted)
{
    for (int32_t *mark : {&mMarkedLevel, &mMarkedReturn}) {
        if (*mark == deleted)
            *mark = 0;
        else if (*mark > deleted)
            --*mark;
    }
}

LevelFieldTexts Tnewlevel::fieldTexts() const
{
    LevelFieldTexts t;
    t.name = fromQt(namel->text());
    t.dxg = fromQt(dxgl->currentText());
    t.width = fromQt(nrxl->text());
    t.height = fromQt(nryl->text());
    t.infotrons = fromQt(nril->text());
    t.column = fromQt(sxl->text());
    t.row = fromQt(syl->text());
    return t;
}

void Tnewlevel::setFieldTexts(const LevelFieldTexts &t)
{
    namel->setText(toQt(t.name));
    dxgl->setCurrentText(toQt(t.dxg));
    nrxl->setText(toQt(t.width));
    nryl->setText(toQt(t.height));
    nril->setText(toQt(t.infotrons));
    sxl->setText(toQt(t.column));
    syl->setText(toQt(t.row));
}

bool Tnewlevel::selectedLevelExists()
{
    if (sellevel >= 1 && sellevel <= levelsinfo.count)
        return true;
    showMessage(MessageKind::Error, kNoLevel, MessageButtons::Ok, this);
    return false;
}

bool Tnewlevel::graphicsFileExists()
{
    if (isPlainDataFileName(fromQt(dxgl->currentText())) && fileexists(gamedir + fromQt(dxgl->currentText())))
        return true;
    showMessage(MessageKind::Error, kMissingGraphicsFile, MessageButtons::Cancel, this);
    return false;
}

void Tnewlevel::showlevelprops()
{
    if (sellevel >= 1 && sellevel <= levelsinfo.count) {
        setFieldTexts(levelFieldTexts(levels[sellevel]));
    } else {
        // No level selected: the fields of a new level.
        setFieldTexts(levelFieldTexts(tlevel{}));
        namel->clear();
    }
}

void Tnewlevel::filllevelgrid()
{
    const int count = std::max(levelsinfo.count, 0);
    const int previousRow = StringGrid1->currentRow();
    mFilling = true;
    StringGrid1->setRowCount(std::max(count, 1));
    for (int k = 1; k <= count; ++k) {
        StringGrid1->setItem(k - 1, 0, new QTableWidgetItem(QString::number(k)));
        StringGrid1->setItem(k - 1, 1, new QTableWidgetItem(toQt(levels[k].name)));
    }
    if (count == 0) {
        StringGrid1->setItem(0, 0, new QTableWidgetItem());
        StringGrid1->setItem(0, 1, new QTableWidgetItem());
    }
    // The row of the current level; a current level beyond the list selects the nearest row, and a
    // file without levels selects none.
    const int row = count == 0 ? -1 : std::clamp(curlevel, 1, count) - 1;
    if (row < 0) {
        StringGrid1->clearSelection();
        StringGrid1->setCurrentCell(-1, -1);
    } else {
        StringGrid1->setCurrentCell(row, 0);
        StringGrid1->scrollToItem(StringGrid1->item(row, 0));
    }
    mFilling = false;
    if (StringGrid1->currentRow() != previousRow)
        StringGrid1Click();
}

void Tnewlevel::record(const char *text, const std::function<void(StoreStep &)> &work)
{
    if (mRecord) {
        mRecord(text, work);
        return;
    }
    StoreStep step;
    work(step);
}

void Tnewlevel::deletelevel(StoreStep &step)
{
    if (!step.deleteLevel(curlevel))
        return;
    if (levelsinfo.count < curlevel)
        curlevel = levelsinfo.count;
}

void Tnewlevel::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    run([this] { FormShow(); });
    namel->setFocus(Qt::OtherFocusReason);
}

bool Tnewlevel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == dxgl && event->type() == QEvent::FocusOut) {
        // Leaving the box by the user's choice, not a popup or another window taking the focus.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && reason != Qt::MenuBarFocusReason)
            run([this] { ComboBox1Exit(); });
    }
    return QDialog::eventFilter(watched, event);
}

void Tnewlevel::FormShow()
{
    sellevel = levelsinfo.count >= 1 ? std::clamp(curlevel, 1, levelsinfo.count) : 0;
    showlevelprops();
    filllevelgrid();
}

void Tnewlevel::StringGrid1Click()
{
    sellevel = StringGrid1->currentRow() + 1;
    if (sellevel > levelsinfo.count)
        sellevel = 0;
    showlevelprops();
}

void Tnewlevel::ComboBox1Exit()
{
    if (!isPlainDataFileName(fromQt(dxgl->currentText())) || !fileexists(gamedir + fromQt(dxgl->currentText())))
        showMessage(MessageKind::Error, kMissingGraphicsFile, MessageButtons::Cancel, this);
}

void Tnewlevel::Button2Click()
{
    if (!selectedLevelExists() || !graphicsFileExists())
        return;
    const LevelProperties properties = limitSavedProperties(readLevelProperties(fieldTexts()));
    auto stored = std::make_unique<tlevel>(levels[sellevel]);
    storeLevelProperties(*stored, properties);
    if (sameLevel(*stored, levels[sellevel])) {
        curlevel = sellevel; // nothing to store, and no step
    } else {
        record("Save Level", [&](StoreStep &step) {
            curlevel = sellevel;
            step.levelChanging(curlevel);
            storeLevelProperties(levels[curlevel], properties);
        });
    }
    // Show what was stored where the limits changed a value.
    setFieldTexts(levelFieldTexts(levels[curlevel]));
    filllevelgrid();
}

void Tnewlevel::Edit()
{
    if (!selectedLevelExists())
        return;
    LevelFieldTexts fields = fieldTexts();
    const LevelFieldCheck check = checkLevelFields(fields, &levels[sellevel]);
    for (const LevelFieldCorrection &correction : check.corrections) {
        QLineEdit *edit = correction.field == LevelField::Width    ? nrxl
                          : correction.field == LevelField::Height ? nryl
                          : correction.field == LevelField::Column ? sxl
                                                                   : syl;
        edit->setText(toQt(correction.text));
        showMessage(MessageKind::Information, toQt(correction.message), MessageButtons::Ok, this);
    }
    if (check.conversionError)
        throw EConvertError(*check.conversionError);
    if (!check.valid())
        return;
    if (!graphicsFileExists())
        return;
    const LevelProperties properties = readLevelProperties(fields);
    // The graphics file is loaded before anything is stored: one that does not load changes nothing.
    if (loadeddxg != properties.dxg) {
        if (mLoadTiles)
            mLoadTiles(properties.dxg);
        loadeddxg = properties.dxg;
    }
    auto edited = std::make_unique<tlevel>(levels[sellevel]);
    storeEditedLevel(*edited, properties);
    if (sameLevel(*edited, levels[sellevel])) {
        curlevel = sellevel; // the level is shown as it is: no step
    } else {
        record("Edit Level", [&](StoreStep &step) {
            curlevel = sellevel;
            step.levelChanging(curlevel);
            storeEditedLevel(levels[curlevel], properties);
        });
    }
    filllevelgrid();
    dialogok = true;
    accept();
}

void Tnewlevel::moveLevel(StoreStep &step, int32_t a, int32_t b)
{
    if (step.swapLevels(a, b))
        moveMarksForSwap(a, b);
}

void Tnewlevel::Button1Click()
{
    sellevel = StringGrid1->currentRow() + 1;
    if (sellevel < 1 || sellevel > levelsinfo.count) {
        sellevel = 0;
        selectedLevelExists();
        return;
    }
    if (sellevel <= 1) {
        showMessage(MessageKind::Error, "This is the only level in the levels file.\r\nCannot move it up",
                    MessageButtons::Ok, this);
        return;
    }
    record("Move Level Up", [this](StoreStep &step) {
        moveLevel(step, sellevel - 1, sellevel);
        sellevel = sellevel - 1;
        curlevel = sellevel;
    });
    filllevelgrid();
    showlevelprops();
}

void Tnewlevel::Button3Click()
{
    sellevel = StringGrid1->currentRow() + 1;
    if (sellevel < 1 || sellevel > levelsinfo.count) {
        sellevel = 0;
        selectedLevelExists();
        return;
    }
    if (sellevel >= levelsinfo.count) {
        showMessage(MessageKind::Error, "This is the only level in the levels file.\r\nCannot move it down",
                    MessageButtons::Ok, this);
        return;
    }
    record("Move Level Down", [this](StoreStep &step) {
        moveLevel(step, sellevel, sellevel + 1);
        sellevel = sellevel + 1;
        curlevel = sellevel;
    });
    filllevelgrid();
    showlevelprops();
}

void Tnewlevel::Button4Click()
{
    sellevel = StringGrid1->currentRow() + 1;
    if (sellevel < 1 || sellevel > levelsinfo.count) {
        sellevel = 0;
        selectedLevelExists();
        return;
    }
    if (levelsinfo.count == 1) {
        showMessage(MessageKind::Error,
                    "This is the only level in the levels file.\r\nCannot delete it, becose it dosent make sense a "
                    "levels file widthouth levels",
                    MessageButtons::Ok, this);
        return;
    }
    record("Delete Level", [this](StoreStep &step) {
        curlevel = sellevel;
        moveMarksForDelete(curlevel);
        deletelevel(step);
    });
    sellevel = curlevel;
    filllevelgrid();
    showlevelprops();
}

void Tnewlevel::Button6Click() { reject(); }

} // namespace qm
