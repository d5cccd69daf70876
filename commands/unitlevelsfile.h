#pragma once
// The chooser of the game's levels file ("Curent Leves-File" in the Options menu): shows the levels-file
// name of the game configuration and lets the user pick another file, which must lie in the game
// directory. The configuration keeps only the bare file name; it is written back when the editor ends.
// This has nothing to do with the levels file open in the editor.

#include <QDialog>
#include <string>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qm {

// The verdict on a name typed or browsed in the chooser: the name to keep, or the reason to refuse.
struct LevelsFileVerdict {
    bool accepted = false;
    std::string name;    // accepted: the name for the configuration
    std::string refusal; // refused: the text of the error box
};

inline constexpr const char *kNotInGameDirectory = "The current levels file must be in the Quillmoss directory!";
inline constexpr const char *kLevelsFileMissing = "The file you choosed dosen't exist!";

// The acceptance rule. A bare name must name an existing file of gamedir and is kept as typed. A name
// with a directory part must name an existing file whose directory is gamedir (letters compared without
// regard to case, "." and ".." resolved; a relative directory counts from gamedir); only its file name
// is kept. An existing file elsewhere is refused as outside the game directory; anything that is not
// an existing regular file (an empty name, a directory, a wildcard pattern) as missing.
LevelsFileVerdict judgeLevelsFileName(const std::string &typed, const std::string &gameDir);

class Tlevelsfile : public QDialog {
    Q_OBJECT

public:
    explicit Tlevelsfile(QWidget *parent = nullptr);

    // Event handlers.
    void FormShow();     // Edit1 := cfglevelsfile
    void Button1Click(); // Browse: a levels file chosen in an open dialog that starts in gamedir
    void Button3Click(); // Ok: cfglevelsfile := the accepted name and close, or refuse and stay open

    // Controls.
    QFrame *Bevel1;
    QLabel *Label1;
    QLineEdit *Edit1;
    QPushButton *Button1;
    QPushButton *Button3;
    QPushButton *Button2;

protected:
    void showEvent(QShowEvent *event) override;
};

} // namespace qm
