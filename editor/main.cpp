// The editor: one process, one main window; no command-line arguments are read.

#include "qmeditorunit1.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(qm::kApplicationTitle);
    qm::TMainForm mainForm; // its creation runs FormCreate, then the dialogs are made
    mainForm.show();
    return QApplication::exec();
}
