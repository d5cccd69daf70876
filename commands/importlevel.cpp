#include "importlevel.h"

#include "usersettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QPixmap>
#include <QScreen>
#include <QSignalBlocker>
#include <algorithm>
#include <memory>

#include "filedialogs.h"
#include "levels/datafilename.h"
#include "levels/levelstore.h"
#include "messagebox.h"
#include "storetext.h"
#include "platform/errors.h"
#include "platform/files.h"

namespace qm {

namespace {

constexpr int kLongestText = 255; // a text of a levels file has a one-byte length
const char *const kTakeRecordKey = "Import/TakeRecord";
const char *const kFolderKey = "Import/Folder"; // where the last Supaplex file was chosen
const char *const kKeepWholeKey = "Import/KeepWhole";

QString noteLine(const std::string &note) { return "Note: " + toQt(note) + "."; }

} // namespace

TForm2::TForm2(QWidget *parent) : QDialog(parent)
{
    setObjectName("Form2");
    setWindowTitle("Import level from supaplex levels file");

    Label1 = new QLabel("Levels:", this);
    Label1->setGeometry(8, 8, 120, 16);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName("ListBox1");
    ListBox1->setGeometry(8, 26, 217, 300);
    ListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Label1->setBuddy(ListBox1);
    FileNote = new QLabel(this);
    FileNote->setObjectName("FileNote");
    FileNote->setGeometry(8, 330, 217, 48);
    FileNote->setWordWrap(true);
    FileNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    GroupBox1 = new QGroupBox(" This level ", this);
    GroupBox1->setGeometry(234, 20, 191, 133);

    Name = new QLabel("Name", GroupBox1);
    Name->setGeometry(12, 24, 167, 16);
    Edit1 = new QLineEdit("Untitled", GroupBox1);
    Edit1->setObjectName("Edit1");
    Edit1->setGeometry(12, 42, 167, 22);
    Edit1->setMaxLength(kLongestText);
    Name->setBuddy(Edit1);

    Label12 = new QLabel("Graphics file:", GroupBox1);
    Label12->setGeometry(12, 74, 167, 16);
    ComboBox1 = new QComboBox(GroupBox1);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setGeometry(12, 92, 167, 24);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->addItems({"computer.dxg", "forest.dxg", "kitchen.dxg", "underground.dxg"});
    ComboBox1->setEditText("Computer.dxg");
    ComboBox1->lineEdit()->setMaxLength(kLongestText);
    Label12->setBuddy(ComboBox1);

    GroupBox2 = new QGroupBox(" Preview ", this);
    GroupBox2->setObjectName("GroupBox2");
    GroupBox2->setGeometry(234, 158, 191, 220);
    PreviewPicture = new QLabel(GroupBox2);
    PreviewPicture->setObjectName("PreviewPicture");
    PreviewPicture->setGeometry(8, 20, 175, 66);
    PreviewPicture->setAlignment(Qt::AlignCenter);
    PreviewText = new QLabel(GroupBox2);
    PreviewText->setObjectName("PreviewText");
    PreviewText->setGeometry(8, 92, 175, 122);
    PreviewText->setWordWrap(true);
    PreviewText->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    CheckBox1 = new QCheckBox("Take the hero's square, infotrons needed and title", this);
    CheckBox1->setObjectName("CheckBox1");
    CheckBox1->setGeometry(8, 384, 417, 22);

    KeepWhole = new QCheckBox("Keep the whole level for play and export (outer ring, every object, the game's settings)",
                              this);
    KeepWhole->setObjectName("KeepWhole");
    // As wide as its text needs: the dialog grows to the right when the text is wider than the dialog.
    const int wholeWidth = std::max(417, KeepWhole->sizeHint().width());
    KeepWhole->setGeometry(8, 408, wholeWidth, 22);
    const int right = wholeWidth + 16 - 433; // how far the buttons move right

    Import = new QPushButton("Import", this);
    Import->setObjectName("Import");
    Import->setGeometry(234 + right, 438, 88, 25);
    Import->setDefault(true);
    Cancel = new QPushButton("Cancel", this);
    Cancel->setObjectName("Cancel");
    Cancel->setGeometry(337 + right, 438, 88, 25);
    setFixedSize(433 + right, 471);

    connect(Import, &QPushButton::clicked, this, &TForm2::ImportClick);
    connect(Cancel, &QPushButton::clicked, this, &TForm2::CancelClick);
    connect(ListBox1, &QListWidget::itemSelectionChanged, this, &TForm2::selectionChanged);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { ImportClick(); });
    connect(ListBox1, &QListWidget::currentRowChanged, this, &TForm2::currentChanged);
    connect(ComboBox1, &QComboBox::currentTextChanged, this, &TForm2::showPreview);
    connect(CheckBox1, &QCheckBox::toggled, this, &TForm2::takeRecordToggled);
    connect(KeepWhole, &QCheckBox::toggled, this, &TForm2::keepWholeToggled);
}

TForm2::~TForm2() = default;

bool TForm2::takesRecord() const { return CheckBox1->isChecked() || keepsWhole(); }

bool TForm2::keepsWhole() const { return KeepWhole->isChecked(); }

void TForm2::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    FormShow();
}

void TForm2::FormShow()
{
    ListBox1->clear();
    for (const std::string &line : supaplexList(spbuffer))
        ListBox1->addItem(toQt(line));
    ListBox1->setCurrentRow(-1);
    ListBox1->clearSelection();
    const std::string note = supaplexIgnoredNote(spbuffer);
    FileNote->setText(note.empty() ? QString() : "Note: " + toQt(note));
    {
        const QSignalBlocker quiet(CheckBox1);
        const QSignalBlocker quietToo(KeepWhole);
        const auto settings = openUserSettings(settingsFile);
        KeepWhole->setChecked(settings->value(kKeepWholeKey, false).toBool());
        CheckBox1->setChecked(keepsWhole() || settings->value(kTakeRecordKey, false).toBool());
        CheckBox1->setEnabled(!keepsWhole());
    }
    selectionChanged();
    showPreview();
    ListBox1->setFocus(Qt::OtherFocusReason);
}

std::vector<int> TForm2::selectedRows() const
{
    std::vector<int> rows;
    for (const QListWidgetItem *item : ListBox1->selectedItems())
        rows.push_back(ListBox1->row(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TForm2::selectionChanged()
{
    const qsizetype selected = ListBox1->selectedItems().size();
    Import->setEnabled(selected > 0);
    // Several levels are named by their titles or "Untitled": the field is for one.
    Edit1->setEnabled(selected <= 1);
    currentChanged();
}

void TForm2::currentChanged()
{
    // With the record's title taken, one chosen level proposes its title as the name.
    const std::vector<int> rows = selectedRows();
    if (takesRecord() && rows.size() == 1 && rows[0] < spbuffer.records()) {
        const SupaplexRecord record = supaplexRecord(spbuffer, rows[0] + 1);
        // A whole level keeps the title as it stands, so that the export gives it back.
        Edit1->setText(toQt(keepsWhole() ? record.titleBytes : record.name()));
    }
    showPreview();
}

void TForm2::takeRecordToggled(bool on)
{
    openUserSettings(settingsFile)->setValue(kTakeRecordKey, on);
    currentChanged();
}

void TForm2::keepWholeToggled(bool on)
{
    const auto settings = openUserSettings(settingsFile);
    settings->setValue(kKeepWholeKey, on);
    {
        // The take-record box shows what a whole import takes; its own remembered choice stays.
        const QSignalBlocker quiet(CheckBox1);
        CheckBox1->setChecked(on || settings->value(kTakeRecordKey, false).toBool());
    }
    CheckBox1->setEnabled(!on);
    currentChanged();
}

void TForm2::showPreview()
{
    const int row = ListBox1->currentRow();
    if (row < 0 || row >= spbuffer.records()) {
        PreviewPicture->clear();
        PreviewText->clear();
        return;
    }
    const int n = row + 1;
    if (previewOf) {
        if (!mPreviewLevel)
            mPreviewLevel = std::make_unique<tlevel>();
        importSupaplexLevel(spbuffer, n, *mPreviewLevel, {false, false, keepsWhole()});
        mPreviewLevel->dxg = fromQt(ComboBox1->currentText());
        const QImage picture = previewOf(*mPreviewLevel);
        if (picture.isNull())
            PreviewPicture->clear();
        else
            PreviewPicture->setPixmap(QPixmap::fromImage(picture));
    }
    const SupaplexRecord record = supaplexRecord(spbuffer, n);
    QStringList lines;
    lines << "Title: " + toQt(record.title);
    if (keepsWhole()) {
        // A whole level has the ring: its squares are the record's, one column and row further on.
        const uint8_t *bytes = spbuffer.spbuffer.data() + size_t(row) * kSupaplexRecord;
        const uint8_t *hero = std::find(bytes, bytes + kSupaplexColumns * kSupaplexRows, kSupaplexHero);
        const int at = int(hero - bytes);
        if (at < kSupaplexColumns * kSupaplexRows)
            lines << QString("Hero: column %1, row %2").arg(at % kSupaplexColumns + 1).arg(at / kSupaplexColumns + 1);
        else
            lines << noteLine("no hero; the start square lies outside the level, as in the game");
        lines << QString("Infotrons needed: %1").arg(record.infotronsByte)
                     + (record.infotronsByte == 0 ? " (all of them)" : "");
    } else {
        if (record.heroes > 0)
            lines << QString("Hero: column %1, row %2").arg(record.heroColumn).arg(record.heroRow);
        lines << QString("Infotrons needed: %1").arg(record.infotronsNeeded())
                     + (record.infotronsByte == 0 ? " (all of them)" : "");
        for (const std::string &note : supaplexHeroNotes(record))
            lines << noteLine(note);
    }
    PreviewText->setText(lines.join('\n'));
}

void TForm2::ImportClick()
{
    // Without a selected line there is no Supaplex level to take.
    const QList<QListWidgetItem *> selected = ListBox1->selectedItems();
    if (selected.isEmpty()) {
        showMessage(MessageKind::Information, "Choose the level to import in the list.", MessageButtons::Ok, this);
        return;
    }
    const std::vector<int> rows = selectedRows();
    if (!isPlainDataFileName(fromQt(ComboBox1->currentText())) || !fileexists(gamedir + fromQt(ComboBox1->currentText()))) {
        showMessage(MessageKind::Error, "The dxg graphics file you choosed dose'nt exist!", MessageButtons::Cancel,
                    this);
        return;
    }
    if (rows.size() > 1) {
        // The current level is the one the command added for the first of them.
        try {
            requireRoomForImport(levelsinfo.count - 1, int32_t(rows.size()));
        } catch (const Error &e) {
            showError(QString::fromUtf8(e.what()), this);
            return;
        }
    }
    splevels.clear();
    for (int row : rows)
        splevels.push_back(row + 1);
    splevel = splevels.front();
    tlevel &level = levels[curlevel];
    level.name = rows.size() == 1 ? fromQt(Edit1->text()) : std::string(kNewLevelName);
    level.dxg = fromQt(ComboBox1->currentText());
    dialogok = true;
    accept();
}

void TForm2::CancelClick() { reject(); }

int importSupaplexCommand(TForm2 &dialog, QWidget *parent, const QString &file)
{
    if (!fileopen)
        return 0;
    // A full file is refused before the user picks a Supaplex file for nothing.
    try {
        requireRoomForLevel();
    } catch (const Error &e) {
        showError(QString::fromUtf8(e.what()), parent);
        return 0;
    }

    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.filter = "Supaplex levels file|*.dat|Others data file|*.d*|All files|*.*";
    request.initialName = "Levels.dat";
    // The game directory holds the sample; after that, the folder the user went to.
    request.initialDirectory = openUserSettings(dialog.settingsFile)->value(kFolderKey, fromPath(gamedir)).toString();
    const QString chosen = file.isEmpty() ? showFileDialog(request, parent) : file;
    if (chosen.isEmpty())
        return 0;
    if (file.isEmpty())
        openUserSettings(dialog.settingsFile)->setValue(kFolderKey, QFileInfo(chosen).path());

    try {
        dialog.spbuffer = readSupaplexFile(toPath(chosen));
    } catch (const Error &e) {
        showError(QString::fromUtf8(e.what()), parent);
        return 0;
    }

    // What a cancelled import must give back: the previous level numbers, and the slot that the new
    // level takes (it lies beyond the file's levels, but it is restored all the same).
    const int32_t formerPrevlevel = prevlevel;
    const int32_t formerCount = levelsinfo.count;
    std::unique_ptr<tlevel> formerSlot;
    if (formerCount >= 0 && formerCount < kMaxLevels)
        formerSlot = std::make_unique<tlevel>(levels[formerCount + 1]);
    try {
        addlevel();
    } catch (const Error &e) {
        showError(QString::fromUtf8(e.what()), parent);
        return 0;
    }

    dialogok = false;
    dialog.exec();

    if (dialogok) {
        try {
            const std::vector<int> numbers = dialog.splevels.empty() ? std::vector<int>{dialog.splevel} : dialog.splevels;
            const int32_t first = curlevel;
            const int32_t firstPrevlevel = prevlevel;
            // Every check before the store changes further: a refusal adds nothing.
            requireRoomForImport(levelsinfo.count - 1, int32_t(numbers.size()));
            for (int n : numbers)
                supaplexRecord(dialog.spbuffer, n);
            const bool take = dialog.takesRecord();
            const bool whole = dialog.keepsWhole();
            const bool several = numbers.size() > 1;
            importSupaplexLevel(dialog.spbuffer, numbers.front(), levels[first], {take, take && several, whole});
            for (size_t i = 1; i < numbers.size(); ++i) {
                addlevel();
                tlevel &level = levels[curlevel];
                level.dxg = levels[first].dxg;
                importSupaplexLevel(dialog.spbuffer, numbers[i], level, {take, take, whole});
            }
            curlevel = first;
            prevlevel = firstPrevlevel;
            return int(numbers.size());
        } catch (const Error &e) {
            showError(QString::fromUtf8(e.what()), parent);
        }
    }
    removecurrentlevel();
    prevlevel = formerPrevlevel;
    if (formerSlot)
        levels[formerCount + 1] = *formerSlot;
    dialogok = false;
    return 0;
}

} // namespace qm
