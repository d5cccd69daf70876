#include "levelresize.h"

#include "levels/gamerules.h"
#include "levels/levelobjects.h"
#include "levels/startsquare.h"

#include <algorithm>
#include <limits>

namespace qm {

namespace {

// The level's own size as the grid can hold it (a file may say anything).
int32_t heldSize(int32_t size) { return std::clamp(size, 0, kGridSize); }

int32_t shiftFor(int32_t anchor, int32_t from, int32_t to)
{
    switch (anchor) {
    case 1:
        return (to - from) / 2;
    case 2:
        return to - from;
    default:
        return 0;
    }
}

// A start pixel moved by shift squares, kept inside 1..size. A pixel that stays inside keeps its
// offset within the square; one pushed out is put on the nearest square's own pixel.
int32_t movedStartPixel(int32_t pixel, int32_t shift, int32_t size)
{
    const int64_t moved = int64_t(pixel) + int64_t(shift) * kSquare;
    const int64_t square = (moved - kStartPixelOffset) / kSquare;
    if (square >= 1 && square <= size && moved >= 0 && moved <= std::numeric_limits<int32_t>::max())
        return int32_t(moved);
    return startPixelOf(int32_t(std::clamp<int64_t>(square, 1, std::max(size, 1))));
}

} // namespace

ResizeShift resizeShift(const tlevel &level, const LevelResize &resize)
{
    return {shiftFor(resize.anchor.row, heldSize(level.height), resize.height),
            shiftFor(resize.anchor.column, heldSize(level.width), resize.width)};
}

bool validResize(const LevelResize &resize)
{
    return resize.width >= 1 && resize.width <= kGridSize && resize.height >= 1 && resize.height <= kGridSize
           && resize.anchor.column >= 0 && resize.anchor.column <= 2 && resize.anchor.row >= 0 && resize.anchor.row <= 2;
}

void resizeLevel(tlevel &level, const LevelResize &resize)
{
    if (!validResize(resize))
        return;
    const ResizeShift shift = resizeShift(level, resize);
    const int32_t oldWidth = heldSize(level.width), oldHeight = heldSize(level.height);
    std::vector<cell> old;
    old.reserve(size_t(oldWidth) * size_t(oldHeight));
    for (int32_t r = 1; r <= oldHeight; ++r)
        for (int32_t c = 1; c <= oldWidth; ++c)
            old.push_back(*level.cellAt(r, c));
    for (int32_t r = 1; r <= resize.height; ++r)
        for (int32_t c = 1; c <= resize.width; ++c) {
            const int32_t fromRow = r - shift.rows, fromColumn = c - shift.columns;
            const bool inside = fromRow >= 1 && fromRow <= oldHeight && fromColumn >= 1 && fromColumn <= oldWidth;
            *level.cellAt(r, c) =
                inside ? old[size_t(fromRow - 1) * size_t(oldWidth) + size_t(fromColumn - 1)] : kDefaultCell;
        }
    level.width = resize.width;
    level.height = resize.height;
    level.startx = movedStartPixel(level.startx, shift.columns, resize.width);
    level.starty = movedStartPixel(level.starty, shift.rows, resize.height);
}

bool resizeStoreLevel(StoreStep &step, int32_t k, const LevelResize &resize)
{
    if (k < 1 || k > levelsinfo.count || !validResize(resize))
        return false;
    tlevel &level = levels[k];
    if (level.width == resize.width && level.height == resize.height)
        return false;
    step.levelChanging(k);
    resizeLevel(level, resize);
    return true;
}

// An object is cut when its rectangle holds squares on both sides of the line between the squares the
// resize keeps and those it cuts. Objects are those LevelObjects finds whole: one already broken has no
// object left to cut.
ResizeCuts resizeCuts(const tlevel &level, const LevelResize &resize, const TileWidth &widthOf)
{
    ResizeCuts cuts;
    if (!validResize(resize))
        return cuts;
    const ResizeShift shift = resizeShift(level, resize);
    const int32_t width = heldSize(level.width), height = heldSize(level.height);
    auto kept = [&](int64_t r, int64_t c) {
        const int64_t row = r + shift.rows, column = c + shift.columns;
        return row >= 1 && row <= resize.height && column >= 1 && column <= resize.width;
    };

    const int64_t startColumn = startSquareOf(level.startx), startRow = startSquareOf(level.starty);
    const bool startInside = startRow >= 1 && startRow <= height && startColumn >= 1 && startColumn <= width;
    if (startInside && !kept(startRow, startColumn))
        cuts.start = CellPlace{int32_t(startRow), int32_t(startColumn)};

    const LevelObjects objects(level, widthOf ? widthOf : TileWidth([](int32_t) { return 0; }));
    for (const LevelObject &object : objects.all()) {
        const bool firstKept = kept(object.row, object.column);
        bool split = false;
        for (int32_t r = object.row; r < object.row + object.rows && !split; ++r)
            for (int32_t c = object.column; c < object.column + object.columns && !split; ++c)
                split = kept(r, c) != firstKept;
        if (split)
            cuts.objects.push_back({CellPlace{object.row, object.column}, object.tile});
    }
    return cuts;
}

std::string cutsQuestion(const ResizeCuts &cuts)
{
    auto place = [](const CellPlace &p) { return "column " + std::to_string(p.column) + ", row " + std::to_string(p.row); };
    std::vector<std::string> parts;
    if (cuts.start)
        parts.push_back("the start square (" + place(*cuts.start) + ")");
    constexpr size_t kNamed = 3;
    for (size_t k = 0; k < cuts.objects.size() && k < kNamed; ++k)
        parts.push_back("the " + tileWords(cuts.objects[k].tile) + " at " + place(cuts.objects[k].square));
    if (cuts.objects.size() > kNamed) {
        const size_t more = cuts.objects.size() - kNamed;
        parts.push_back(std::to_string(more) + (more == 1 ? " more object" : " more objects"));
    }
    std::string text = "Resizing cuts ";
    for (size_t k = 0; k < parts.size(); ++k) {
        if (k > 0)
            text += k + 1 == parts.size() ? " and " : ", ";
        text += parts[k];
    }
    return text + ". Resize anyway?";
}

} // namespace qm
