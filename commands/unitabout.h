#pragma once
// The about box: the editor's name and version, a picture and the makers' notice.

#include <QDialog>
#include <QImage>

class QFrame;
class QLabel;
class QPushButton;

namespace qm {

class TForm3 : public QDialog {
    Q_OBJECT

public:
    explicit TForm3(QWidget *parent = nullptr);

    // Controls.
    QLabel *Image1;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label4;
    QLabel *Label5;
    QFrame *Bevel1;
    QPushButton *Button1;

protected:
    void showEvent(QShowEvent *event) override;
};

// The picture of the about box, 137 x 97 pixels: a corner of a level drawn in tiles, with a quill.
QImage aboutPicture();

} // namespace qm
