// The editor: one process, one main window. The command line may name a levels file to open at start.

#include "qmeditorunit1.h"

#include "commands/filenames.h"
#include "platform/fileio.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>
#include <malloc.h>

namespace {

void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QString(qm::kApplicationTitle)
                                     + "\nCreates, opens and paints the levels files of Quillmoss. Its data "
                                       "files are looked up beside the program.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("FILE", "A levels file (.lev) to open at start, as Open Levels File does.",
                                 "[FILE]");
}

} // namespace

int main(int argc, char **argv)
{
    // Blocks of 128 KB and more (pictures, surfaces, the bytes of a graphics file) get mappings of
    // their own and go back to the system when freed. By default glibc raises that threshold after the
    // first such block is freed, and the pictures of each theme loaded then stay behind in the heap.
    // One arena: the editor's worker threads allocate little, and an arena each would keep its pages.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    mallopt(M_ARENA_MAX, 1);

    // The user's settings and recovery copies are kept under this identity.
    QCoreApplication::setOrganizationName("Quillmoss");
    QCoreApplication::setApplicationName("qmeditor");
    QGuiApplication::setDesktopFileName("quillmoss-editor");
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2").arg(QM_VERSION_MAJOR).arg(QM_VERSION_MINOR));

    // --help and --version answer without a window, so they work where no display is.
    {
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        QCommandLineParser early;
        describe(early);
        early.parse(arguments);
        if (early.isSet("help") || early.isSet("version")) {
            QCoreApplication application(argc, argv);
            QCommandLineParser parser;
            describe(parser);
            parser.process(application); // prints and exits
        }
    }

    QApplication application(argc, argv); // takes Qt's own options (-platform, ...) off the command line
    QCommandLineParser parser;
    describe(parser);
    // The arguments Qt left, with file names as the bytes they are, whatever their encoding.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << qm::fileNameFromBytes(argv[i]);
    parser.process(arguments);
    if (parser.positionalArguments().size() > 1) {
        std::fputs("qmeditor: at most one levels file can be opened\n", stderr);
        return 1;
    }
    qm::TMainForm mainForm; // its creation runs FormCreate; the dialogs are made once it is exposed
    mainForm.show();
    // Once the window is up, so the question, the levels dialog and any error box stand over it; unsaved
    // work left by an editor that ended without saving comes first.
    // What saves killed in the middle left where the editor starts goes now.
    qm::removeDeadSaveTemporaries(".");
    const QStringList files = parser.positionalArguments();
    QTimer::singleShot(0, &mainForm, [&mainForm, files] {
        mainForm.offerRecovery();
        if (!files.isEmpty())
            mainForm.openAtStart(files.first());
    });
    return QApplication::exec();
}
