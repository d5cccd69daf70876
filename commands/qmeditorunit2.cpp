#include "qmeditorunit2.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "levels/levelstore.h"

namespace qm {

Tnewlevels::Tnewlevels(QWidget *parent) : QDialog(parent)
{
    setObjectName("newlevels");
    setWindowTitle("Create new");
    setFixedSize(297, 151);

    GroupBox1 = new QGroupBox(" Levels file ", this);
    GroupBox1->setGeometry(8, 8, 281, 97);

    Label1 = new QLabel("Name:", GroupBox1);
    Label1->setGeometry(12, 26, 60, 16);
    ename = new QLineEdit(GroupBox1);
    ename->setObjectName("ename");
    ename->setGeometry(76, 23, 193, 21);
    Label1->setBuddy(ename);

    Label2 = new QLabel("Author:", GroupBox1);
    Label2->setGeometry(12, 60, 60, 16);
    ecopyright = new QLineEdit(GroupBox1);
    ecopyright->setObjectName("ecopyright");
    ecopyright->setGeometry(76, 57, 193, 21);
    Label2->setBuddy(ecopyright);

    bok = new QPushButton("Ok", this);
    bok->setObjectName("bok");
    bok->setGeometry(128, 116, 75, 25);
    bcancel = new QPushButton("Cancel", this);
    bcancel->setObjectName("bcancel");
    bcancel->setGeometry(214, 116, 75, 25);

    connect(bok, &QPushButton::clicked, this, &Tnewlevels::bokClick);
    connect(bcancel, &QPushButton::clicked, this, &Tnewlevels::bcancelClick);
}

void Tnewlevels::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    ename->setFocus(Qt::OtherFocusReason);
}

void Tnewlevels::bokClick()
{
    levelsinfo.reserved = 0;
    levelsinfo.author = ecopyright->text().toLatin1().toStdString();
    levelsinfo.count = 0;
    newfilename = ename->text().toLatin1().toStdString();
    levelsinfo.offsets.fill(0);
    accept();
}

void Tnewlevels::bcancelClick() { reject(); }

} // namespace qm
