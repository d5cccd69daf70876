#include "gamefiles.h"

#include "editorart.h"
#include "helpdocument.h"
#include "samplelevels.h"
#include "themeart.h"

#include "graphics/componentwriter.h"
#include "levels/gameconfig.h"
#include "platform/fileio.h"

namespace qm::gamegen {

namespace {

std::string joinPath(const std::string &dir, const std::string &name)
{
    if (dir.empty() || dir.back() == '/')
        return dir + name;
    return dir + "/" + name;
}

// The game's settings: Eddie as the hero, tips, music and sounds on, a middle speed, the sample
// levels file, one song per theme and a song for each sample level by its theme.
void setGameConfig()
{
    initGameConfig();
    cfgeddie = true;
    cfgshowtips = true;
    cfgmusic = true;
    cfgsounds = true;
    cfgspeed = 5;
    cfglevelsfile = kSampleLevelsName;
    const char *songs[] = {"circuits.mod", "woodland.mod", "kettle.mod", "deepcave.mod"};
    cfgsongcount = 4;
    for (int k = 1; k <= cfgsongcount; ++k)
        cfgsongs[size_t(k)] = songs[k - 1];
    // Sample.lev: four theme levels, then the four galleries in the same theme order.
    cfglevelsongcount = 8;
    cfglevelsongs[0] = 0; // the menu: any song
    for (int k = 1; k <= cfglevelsongcount; ++k)
        cfglevelsongs[size_t(k)] = (k - 1) % 4 + 1;
}

} // namespace

void writeGameFiles(const std::string &dir)
{
    writeFileSafely(joinPath(dir, kEditorPicturesName), writeGraphicsFile(editorPictures()));
    for (const ThemeInfo &theme : themes())
        writeFileSafely(joinPath(dir, theme.fileName), writeGraphicsFile(themePictures(theme.id)));
    setGameConfig();
    writegameconfig(joinPath(dir, kGameConfigName));
    const std::string help = helpDocument();
    writeFileSafely(joinPath(dir, kHelpName), help.data(), help.size());
    writeSampleLevels(joinPath(dir, kSampleLevelsName));
    writeFileSafely(joinPath(dir, kSupaplexSampleName), supaplexSample());
}

} // namespace qm::gamegen
