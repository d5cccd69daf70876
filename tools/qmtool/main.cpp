// qmtool: works on the editor's files from the command line.
//
//   qmtool lev info|new|copy|render|frame ...   levels files
//   qmtool cfg info|copy ...                    the game configuration file
//   qmtool dxg info|extract|pack ...            graphics files
//   qmtool sp list|import ...                   Supaplex levels files

#include "commands.h"
#include "toolsupport.h"

#include "platform/errors.h"

#include <QCoreApplication>
#include <cstdio>
#include <exception>

namespace {

const char *const kUsage = "usage: qmtool lev|cfg|dxg|sp COMMAND ...\n"
                           "  lev info FILE [--cells]\n"
                           "  lev new FILE [--author TEXT] [--levels N]\n"
                           "  lev copy IN OUT\n"
                           "  lev render FILE LEVEL OUT [--gamedir DIR] [--depth 16|32]\n"
                           "  lev frame FILE LEVEL OUT [--gamedir DIR] [--view X,Y] [--pointer X,Y] [--lag N]\n"
                           "            [--palscroll N] [--palette COLUMN,ROW] [--depth 16|32]\n"
                           "  lev check FILE [LEVEL] [--gamedir DIR] [--json]\n"
                           "  lev sheet FILE OUT [--columns N] [--size PIXELS] [--gamedir DIR]\n"
                           "  cfg info FILE\n"
                           "  cfg copy IN OUT\n"
                           "  dxg info FILE\n"
                           "  dxg extract FILE INDEX OUT\n"
                           "  dxg pack MANIFEST OUT\n"
                           "  sp list LEVELSDAT\n"
                           "  sp import LEVELSDAT N LEVFILE [--name TEXT] [--dxg NAME]\n";

} // namespace

int main(int argc, char **argv)
{
    // No window is ever shown: image files go through QImage, which needs no display.
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.size() < 2) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    QString group = args.takeFirst();
    try {
        if (group == "lev")
            return runLevCommand(args);
        if (group == "cfg")
            return runCfgCommand(args);
        if (group == "dxg")
            return runDxgCommand(args);
        if (group == "sp")
            return runSpCommand(args);
        std::fputs(kUsage, stderr);
        return 1;
    } catch (const UsageError &e) {
        std::fprintf(stderr, "%s\n", e.message.toLocal8Bit().constData());
    } catch (const qm::Error &e) {
        std::fprintf(stderr, "%s\n", e.what());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    return 1;
}
