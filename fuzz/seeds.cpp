// Writes the seed corpora of the fuzz targets, made by the program's own writers:
//   qmfuzzseeds DIR   makes DIR/levelsfile, DIR/gameconfig, DIR/supaplex.

#include "levels/gameconfig.h"
#include "levels/levelsfile.h"
#include "levels/levelstore.h"
#include "levels/supaplex.h"

#include "platform/fileio.h"

#include <cstdio>
#include <filesystem>

using namespace qm;

namespace {

void put(const std::filesystem::path &dir, const std::string &name, const Bytes &bytes)
{
    std::filesystem::create_directories(dir);
    writeFileSafely((dir / name).string(), bytes);
}

void levelsSeeds(const std::filesystem::path &dir)
{
    initstore();
    for (int files = 0; files < 3; ++files) {
        levelsinfo = Tlevels{};
        levelsinfo.author = files ? "seed author" : "";
        resetstore();
        for (int k = 1; k <= files; ++k) {
            addlevel();
            levels[k].width = 6 + 2 * k;
            levels[k].height = 6;
            levels[k].cellAt(2, 3)->tile = 29;
            levels[k].cellAt(2, 3)->kind = 102;
        }
        std::array<int32_t, kOffsetCount> offsets{};
        put(dir, "levels" + std::to_string(files), levelsfilebytes(offsets));
    }
}

void configSeeds(const std::filesystem::path &dir)
{
    initgameconfig();
    cfglevelsfile = "Sample.lev";
    cfgsongcount = 2;
    cfgsongs[1] = "first song.mod";
    cfgsongs[2] = "second.mod";
    cfglevelsongcount = 3;
    cfglevelsongs[2] = 1;
    std::string text = gameconfigtext();
    put(dir, "config", Bytes(text.begin(), text.end()));
}

void supaplexSeeds(const std::filesystem::path &dir)
{
    Bytes bytes(1 + kSupaplexFileSize, 2);
    bytes[0] = 1;
    for (size_t i = 1; i < 1440; i += 7)
        bytes[1 + i] = uint8_t(i % 40);
    put(dir, "supaplex", bytes);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("usage: qmfuzzseeds DIR\n", stderr);
        return 1;
    }
    const std::filesystem::path root = argv[1];
    levelsSeeds(root / "levelsfile");
    configSeeds(root / "gameconfig");
    supaplexSeeds(root / "supaplex");
    return 0;
}
