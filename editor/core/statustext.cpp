#include "statustext.h"

#include "levels/levelstore.h"
#include "levels/tiles.h"

#include "graphics/picturecollection.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace qm {

namespace {

const char *kindName(int32_t kind)
{
    switch (kind) {
    case kKindOrdinary:
        return "ordinary";
    case kKindMarked:
        return "marked";
    case kKindOnTop:
        return "on top";
    default:
        return "unknown kind";
    }
}

// The name a tile's picture has in the loaded graphics file, or "no picture".
std::string pictureName(const TPictureCollection &tiles, int32_t tile)
{
    if (tile < 0 || tile >= tiles.Count())
        return "no picture";
    const std::string &name = tiles.Items(tile).Name();
    return name.empty() ? "unnamed picture" : name;
}

std::string tileText(const TPictureCollection &tiles, int32_t tile)
{
    return std::to_string(tile) + " " + pictureName(tiles, tile);
}

} // namespace

std::string statusText(const MapTools &tools, const TPictureCollection &tiles, const std::string &fileName,
                       bool mapShown)
{
    std::string text = fileName + (saved ? " (saved)" : " (changed)");
    const tlevel *level = currentLevel();
    if (!level)
        return text;
    text += " | Level " + std::to_string(curlevel) + " " + level->name;
    if (!mapShown)
        return text;
    if (!tools.pointerOver) {
        // The pointer is elsewhere: no square or slot is named.
    } else if (pointerx > maparea.width()) {
        if (const std::optional<int32_t> tile = paletteTileAt(pointerx, pointery))
            text += " | Palette: " + tileText(tiles, *tile);
    } else {
        const CellPosition at = pointercell();
        // In the order of the levels dialog's start square: X (the column), then Y (the row).
        text += " | Column " + std::to_string(at.column) + ", row " + std::to_string(at.row);
        const cell *square = level->cellAt(at.row, at.column);
        if (square && at.row <= level->height && at.column <= level->width) {
            text += ": " + tileText(tiles, square->tile) + ", " + kindName(square->kind);
        } else {
            text += ": outside the level";
        }
    }
    if (tools.stamp)
        text += " | Stamp " + std::to_string(tools.stamp->columns) + " x " + std::to_string(tools.stamp->rows);
    else
        text += " | Carrying " + tileText(tiles, selectedtile());
    if (tools.lineKey)
        text += " | L: a line, drag with the left button";
    else if (tools.rectangleKey)
        text += " | R: a rectangle, drag with the left button (Shift+R: filled)";
    if (maparea.square != kSquare)
        text += " | Zoom " + std::to_string(maparea.square * 100 / kSquare) + "% (Ctrl+0: actual size)";
    int64_t held = 0;
    for (int32_t r = 1; r <= std::min(level->height, kGridSize); ++r)
        for (int32_t c = 1; c <= std::min(level->width, kGridSize); ++c)
            held += level->cellAt(r, c)->tile == kTileInfotron;
    text += " | Infotrons " + std::to_string(level->infotrons) + " asked, " + std::to_string(held) + " held";
    return text;
}

} // namespace qm
