#pragma once
// What the level checks need of a level's graphics file, taken from its pictures.

#include "levels/levelcheck.h"

#include <map>
#include <string>
#include <vector>

namespace qm {

class TPictureCollection;

// Width and pattern count of every picture, by index (the pictures need not be prepared).
std::vector<TilePicture> tilePictures(const TPictureCollection &tiles);

// Reads the graphics file dxg of the game directory gameDir (ending in '/'): Missing when no such file
// is there, Unreadable with the reader's message when it cannot be read.
LevelGraphics readLevelGraphics(const std::string &gameDir, const std::string &dxg);

// The graphics files that levels name, each read once when first asked for: the levels of a file
// mostly share a few. What of() answers stays where it is until clear().
class GraphicsFiles {
public:
    const LevelGraphics &of(const std::string &gameDir, const std::string &dxg);
    // The files are read again when next asked for (they may have changed on disk).
    void clear() { mRead.clear(); }

private:
    std::map<std::string, LevelGraphics> mRead; // by path
};

// Loads the graphics file dxg of the game directory gameDir into pictures. A name that is not a plain
// file name (isPlainDataFileName) is not opened and fails as a missing file does ("Cannot open file").
void loadLevelGraphics(TPictureCollection &pictures, const std::string &gameDir, const std::string &dxg);

} // namespace qm
