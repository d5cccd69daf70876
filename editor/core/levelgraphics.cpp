#include "levelgraphics.h"

#include "graphics/graphicserrors.h"
#include "graphics/patternlayout.h"
#include "graphics/picturecollection.h"
#include "platform/errors.h"
#include "platform/fileio.h"
#include "platform/files.h"

#include "levels/datafilename.h"

#include <cerrno>

namespace qm {

std::vector<TilePicture> tilePictures(const TPictureCollection &tiles)
{
    std::vector<TilePicture> pictures;
    pictures.reserve(size_t(tiles.Count()));
    for (int32_t i = 0; i < tiles.Count(); ++i) {
        const TPictureCollectionItem &item = tiles.Items(i);
        const TPicture &picture = item.Picture();
        const int64_t patterns =
            picture.Empty() ? 0 : PatternLayout(picture.Width(), picture.Height(), item.patternGeometry()).count();
        pictures.push_back({picture.Width(), patterns});
    }
    return pictures;
}

LevelGraphics readLevelGraphics(const std::string &gameDir, const std::string &dxg)
{
    LevelGraphics graphics;
    const std::string path = gameDir + dxg;
    if (!isPlainDataFileName(dxg) || !fileexists(path)) {
        graphics.state = LevelGraphics::State::Missing;
        return graphics;
    }
    try {
        TPictureCollection tiles;
        tiles.LoadFromFile(path);
        graphics.pictures = tilePictures(tiles);
    } catch (const Error &e) {
        graphics.state = LevelGraphics::State::Unreadable;
        graphics.message = e.what();
    }
    return graphics;
}

const LevelGraphics &GraphicsFiles::of(const std::string &gameDir, const std::string &dxg)
{
    const std::string path = gameDir + dxg;
    auto known = mRead.find(path);
    if (known == mRead.end())
        known = mRead.emplace(path, readLevelGraphics(gameDir, dxg)).first;
    return known->second;
}

void loadLevelGraphics(TPictureCollection &pictures, const std::string &gameDir, const std::string &dxg)
{
    if (!isPlainDataFileName(dxg))
        throw EFOpenError(formatMessage("Cannot open file %s", {gameDir + dxg}) + ": " + systemErrorText(ENOENT));
    pictures.LoadFromFile(gameDir + dxg);
}

} // namespace qm
