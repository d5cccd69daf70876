// qmgamegen: makes the default game directory, and draws contact sheets of graphics files.
//
//   qmgamegen DIR                          write every data file of the game directory into DIR
//   qmgamegen --contact-sheet FILE.dxg OUT.png
//                                          every picture of a graphics file, as the editor draws it
//   qmgamegen --icons DIR                  the program's icon in every size, as an icon theme's folders

#include "contactsheet.h"
#include "gamefiles.h"
#include "icon.h"

#include "platform/errors.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

namespace {

int usage()
{
    std::fputs("usage: qmgamegen DIR\n"
               "       qmgamegen --contact-sheet FILE.dxg OUT.png\n"
               "       qmgamegen --icons DIR\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    try {
        if (argc == 4 && std::strcmp(argv[1], "--contact-sheet") == 0) {
            qm::gamegen::writeContactSheet(argv[2], argv[3]);
            return 0;
        }
        if (argc == 3 && std::strcmp(argv[1], "--icons") == 0) {
            qm::gamegen::writeIcons(argv[2]);
            return 0;
        }
        if (argc == 2 && argv[1][0] != '-') {
            qm::gamegen::writeGameFiles(argv[1]);
            return 0;
        }
        return usage();
    } catch (const qm::Error &e) {
        std::fprintf(stderr, "qmgamegen: %s: %s\n", e.className().c_str(), e.what());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "qmgamegen: %s\n", e.what());
    }
    return 1;
}
