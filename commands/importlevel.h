#pragma once
// Importing a level of a Supaplex levels file ("Levels.dat"): the import dialog TForm2, which lists the
// file's 111 level titles and asks for the new level's name and graphics file, and the command that
// reads the file, adds the level and converts the chosen Supaplex level into it.

#include <QDialog>

#include "levels/supaplex.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace qm {

// The import dialog. Created once and reused: the texts typed into Edit1 and ComboBox1 stay from one
// import to the next. Import writes the name and the graphics file into the current level of the
// store, sets splevel and dialogok and closes the dialog; Cancel (or the close box) leaves dialogok
// alone. Import is refused until a line of the list is selected.
class TForm2 : public QDialog {
    Q_OBJECT

public:
    explicit TForm2(QWidget *parent = nullptr);

    // Event handlers.
    void FormShow();    // fills the list from spbuffer, nothing selected
    void ImportClick(); // accepts when a line is selected and the graphics file exists in gamedir
    void CancelClick();

    // Controls.
    QLabel *Label1;
    QListWidget *ListBox1;
    QGroupBox *GroupBox1;
    QLabel *Name;
    QLineEdit *Edit1;
    QLabel *Label12;
    QComboBox *ComboBox1;
    QPushButton *Import;
    QPushButton *Cancel;

    SupaplexFile spbuffer; // the file read by the latest import
    int splevel = 0;       // the Supaplex level (1..111) chosen by the latest Import

protected:
    void showEvent(QShowEvent *event) override;

private:
    void selectionChanged();
};

// "From SupaPlex Levels File": asks for the Supaplex file, reads it, appends a default level (which
// becomes current), shows the dialog and converts the chosen level into the new level. A file that
// cannot be read or is too short, and a store that is already full, are reported in an error box and
// add nothing. Cancelling leaves the store exactly as it was (count, levels, curlevel, prevlevel).
// Runs only while a levels file is open; saved is left alone and no graphics are loaded.
// Returns whether a level was imported. With file given (a file dropped on the window), that file is
// read instead of asking for one.
bool importSupaplexCommand(TForm2 &dialog, QWidget *parent = nullptr, const QString &file = QString());

} // namespace qm
