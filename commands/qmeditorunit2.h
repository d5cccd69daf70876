#pragma once
// The "Create new" dialog: asks for the name and the author of a new levels file. Ok empties the
// header of the store (count 0, offsets 0, reserved 0), takes the author and the name, and closes the
// dialog with OK; Cancel changes nothing. The edits keep their text from one showing to the next.
// Made once with the main window as parent and shown with exec(): Accepted only through Ok.

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qm {

class Tnewlevels : public QDialog {
    Q_OBJECT

public:
    explicit Tnewlevels(QWidget *parent = nullptr);

    // Event handlers.
    void bokClick();
    void bcancelClick();

    // Controls.
    QGroupBox *GroupBox1;
    QLabel *Label1;
    QLabel *Label2;
    QLineEdit *ename;
    QLineEdit *ecopyright;
    QPushButton *bok;
    QPushButton *bcancel;

protected:
    void showEvent(QShowEvent *event) override;
};

} // namespace qm
