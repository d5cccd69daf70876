// The start-up baseline: an empty Qt main window with a menu bar, the editor's client size, nothing
// else. scripts/startup.sh times it against the editor.

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle("Empty window");
    QMenu *file = window.menuBar()->addMenu("&File");
    file->addAction("E&xit", &window, &QWidget::close);
    window.setCentralWidget(new QWidget);
    window.centralWidget()->setFixedSize(784, 480);
    window.show();
    return app.exec();
}
