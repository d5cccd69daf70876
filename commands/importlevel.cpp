#include "importlevel.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
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

} // namespace

TForm2::TForm2(QWidget *parent) : QDialog(parent)
{
    setObjectName("Form2");
    setWindowTitle("Import level from supaplex levels file");
    setFixedSize(433, 250);

    Label1 = new QLabel("Levels:", this);
    Label1->setGeometry(8, 8, 120, 16);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName("ListBox1");
    ListBox1->setGeometry(8, 26, 217, 216);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    Label1->setBuddy(ListBox1);

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

    Import = new QPushButton("Import", this);
    Import->setObjectName("Import");
    Import->setGeometry(234, 217, 88, 25);
    Import->setDefault(true);
    Cancel = new QPushButton("Cancel", this);
    Cancel->setObjectName("Cancel");
    Cancel->setGeometry(337, 217, 88, 25);

    connect(Import, &QPushButton::clicked, this, &TForm2::ImportClick);
    connect(Cancel, &QPushButton::clicked, this, &TForm2::CancelClick);
    connect(ListBox1, &QListWidget::itemSelectionChanged, this, &TForm2::selectionChanged);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { ImportClick(); });
}

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
    selectionChanged();
    ListBox1->setFocus(Qt::OtherFocusReason);
}

void TForm2::selectionChanged() { Import->setEnabled(!ListBox1->selectedItems().isEmpty()); }

void TForm2::ImportClick()
{
    // Without a selected line there is no Supaplex level to take.
    const QList<QListWidgetItem *> selected = ListBox1->selectedItems();
    if (selected.isEmpty()) {
        showMessage(MessageKind::Information, "Choose the level to import in the list.", MessageButtons::Ok, this);
        return;
    }
    const int row = ListBox1->row(selected.constFirst());
    if (!isPlainDataFileName(fromQt(ComboBox1->currentText())) || !fileexists(gamedir + fromQt(ComboBox1->currentText()))) {
        showMessage(MessageKind::Error, "The dxg graphics file you choosed dose'nt exist!", MessageButtons::Cancel,
                    this);
        return;
    }
    splevel = row + 1;
    tlevel &level = levels[curlevel];
    level.name = fromQt(Edit1->text());
    level.dxg = fromQt(ComboBox1->currentText());
    dialogok = true;
    accept();
}

void TForm2::CancelClick() { reject(); }

bool importSupaplexCommand(TForm2 &dialog, QWidget *parent)
{
    if (!fileopen)
        return false;
    // A full file is refused before the user picks a Supaplex file for nothing.
    try {
        requireRoomForLevel();
    } catch (const Error &e) {
        showError(QString::fromUtf8(e.what()), parent);
        return false;
    }

    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.filter = "Supaplex levels file|*.dat|Others data file|*.d*|All files|*.*";
    request.initialName = "Levels.dat";
    const QString chosen = showFileDialog(request, parent);
    if (chosen.isEmpty())
        return false;

    try {
        dialog.spbuffer = readSupaplexFile(chosen.toStdString());
    } catch (const Error &e) {
        showError(QString::fromUtf8(e.what()), parent);
        return false;
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
        return false;
    }

    dialogok = false;
    dialog.exec();

    if (dialogok) {
        try {
            importSupaplexLevel(dialog.spbuffer, dialog.splevel, levels[curlevel]);
            return true;
        } catch (const Error &e) {
            showError(QString::fromUtf8(e.what()), parent);
        }
    }
    removecurrentlevel();
    prevlevel = formerPrevlevel;
    if (formerSlot)
        levels[formerCount + 1] = *formerSlot;
    dialogok = false;
    return false;
}

} // namespace qm
