#pragma once
// Importing levels of a Supaplex levels file ("Levels.dat"): the import dialog TForm2, which lists the
// file's level titles and asks for the new level's name and graphics file, and the command that reads
// the file, adds the levels and converts the chosen Supaplex levels into them.

#include <QDialog>
#include <QImage>
#include <functional>
#include <memory>
#include <vector>

#include "levels/supaplex.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace qm {

// The import dialog. Created once and reused: the texts typed into Edit1 and ComboBox1 stay from one
// import to the next. Import writes the name and the graphics file into the current level of the
// store, sets splevel, splevels and dialogok and closes the dialog; Cancel (or the close box) leaves
// dialogok alone. Import is refused until a line of the list is selected.
//
// Several lines may be selected (Shift, Ctrl, Ctrl+A): all of them are imported, in list order. The
// name field applies to one level; several are named by their titles (with CheckBox1) or "Untitled".
// CheckBox1 also takes each record's hero square and infotrons needed; KeepWhole keeps the whole
// record (which implies CheckBox1, and names the levels by their 23 title bytes as they stand). Both are
// kept in the settings. The preview shows the current line's level small, its title, hero square and infotrons.
class TForm2 : public QDialog {
    Q_OBJECT

public:
    explicit TForm2(QWidget *parent = nullptr);
    ~TForm2() override;

    // Event handlers.
    void FormShow();    // fills the list from spbuffer, nothing selected
    void ImportClick(); // accepts when a line is selected and the graphics file exists in gamedir
    void CancelClick();

    // Controls.
    QLabel *Label1;
    QListWidget *ListBox1;
    QLabel *FileNote; // what of the file was not read, when anything
    QGroupBox *GroupBox1;
    QLabel *Name;
    QLineEdit *Edit1;
    QLabel *Label12;
    QComboBox *ComboBox1;
    QGroupBox *GroupBox2; // the preview
    QLabel *PreviewPicture;
    QLabel *PreviewText;
    QCheckBox *CheckBox1;
    QCheckBox *KeepWhole; // the whole record; implies CheckBox1, which it ticks and locks
    QPushButton *Import;
    QPushButton *Cancel;

    SupaplexFile spbuffer;     // the file read by the latest import
    int splevel = 0;           // the first Supaplex level chosen by the latest Import
    std::vector<int> splevels; // every Supaplex level it chose, in list order

    // Draws a level small (its dxg names the graphics file); unset or a null image: no picture.
    std::function<QImage(const tlevel &)> previewOf;
    // Where CheckBox1 is remembered: an INI file, or the user's settings when empty.
    QString settingsFile;

    // Whether the record's hero square, infotrons needed and title are taken.
    bool takesRecord() const;
    // Whether the levels are kept whole (supaplexexport.h).
    bool keepsWhole() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void selectionChanged();
    void currentChanged();
    void takeRecordToggled(bool on);
    void keepWholeToggled(bool on);
    void showPreview();
    std::vector<int> selectedRows() const;

    std::unique_ptr<tlevel> mPreviewLevel; // made when first previewed
};

// "From SupaPlex Levels File": asks for the Supaplex file, reads it, appends a default level (which
// becomes current), shows the dialog and converts the chosen levels into new levels at the end of the
// file; the first of them is current, and prevlevel the level current before. A file that cannot be
// read or is too short, and a store that is already full, are reported in an error box and add
// nothing. Cancelling leaves the store exactly as it was (count, levels, curlevel, prevlevel).
// Runs only while a levels file is open; saved is left alone and no graphics are loaded.
// Returns how many levels were imported (the last levels of the file). With file given (a file dropped
// on the window), that file is read instead of asking for one.
int importSupaplexCommand(TForm2 &dialog, QWidget *parent = nullptr, const QString &file = QString());

} // namespace qm
