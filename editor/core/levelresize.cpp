#include "levelresize.h"

#include "levels/gamerules.h"
#include "levels/palette.h"
#include "levels/startsquare.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <set>
#include <tuple>

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

using FindingKey = std::tuple<std::string, int32_t, int32_t>;

// The object findings of a level: where an object anchored in the level is not whole.
std::set<FindingKey> brokenObjects(const tlevel &level, const LevelGraphics *graphics)
{
    std::set<FindingKey> keys;
    for (const Finding &f : checkLevel(level, graphics))
        if (f.cell && (f.code == "object-cut" || f.code == "object-broken" || f.code == "object-overlap"))
            keys.insert({f.code, f.cell->row, f.cell->column});
    return keys;
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

// An object crosses the line between the squares a resize keeps and those it cuts when its first
// square lies on one side and some of its squares on the other. Blanking one side leaves each such
// object anchored on the other side not whole, which the checks find at its first square: the
// findings new against the level as it is, on the side that was not blanked, are the cut objects.
ResizeCuts resizeCuts(const tlevel &level, const LevelResize &resize, const TileWidth &widthOf)
{
    ResizeCuts cuts;
    if (!validResize(resize))
        return cuts;
    const ResizeShift shift = resizeShift(level, resize);
    const int32_t width = heldSize(level.width), height = heldSize(level.height);
    auto kept = [&](int32_t r, int32_t c) {
        const int32_t row = r + shift.rows, column = c + shift.columns;
        return row >= 1 && row <= resize.height && column >= 1 && column <= resize.width;
    };
    auto inside = [&](int64_t r, int64_t c) { return r >= 1 && r <= height && c >= 1 && c <= width; };

    const int64_t startColumn = (int64_t(level.startx) - kStartPixelOffset) / kSquare;
    const int64_t startRow = (int64_t(level.starty) - kStartPixelOffset) / kSquare;
    if (inside(startRow, startColumn) && !kept(int32_t(startRow), int32_t(startColumn)))
        cuts.start = CellPlace{int32_t(startRow), int32_t(startColumn)};

    bool cutsAny = false;
    for (int32_t r = 1; r <= height && !cutsAny; ++r)
        for (int32_t c = 1; c <= width && !cutsAny; ++c)
            cutsAny = !kept(r, c);
    if (!cutsAny)
        return cuts;

    LevelGraphics graphics;
    const LevelGraphics *pictures = nullptr;
    if (widthOf) {
        for (int32_t t = 0; t <= kLastPaletteTile; ++t)
            graphics.pictures.push_back({widthOf(t), std::numeric_limits<int64_t>::max()});
        pictures = &graphics;
    }
    const std::set<FindingKey> before = brokenObjects(level, pictures);
    auto blanked = std::make_unique<tlevel>(level);
    for (bool keptSide : {true, false}) {
        *blanked = level;
        for (int32_t r = 1; r <= height; ++r)
            for (int32_t c = 1; c <= width; ++c)
                if (kept(r, c) != keptSide)
                    *blanked->cellAt(r, c) = kDefaultCell;
        for (const FindingKey &key : brokenObjects(*blanked, pictures)) {
            const CellPlace square{std::get<1>(key), std::get<2>(key)};
            if (before.count(key) || kept(square.row, square.column) != keptSide)
                continue;
            const bool known = std::any_of(cuts.objects.begin(), cuts.objects.end(),
                                           [&](const CutObject &o) { return o.square == square; });
            if (!known)
                cuts.objects.push_back({square, level.cellAt(square.row, square.column)->tile});
        }
    }
    std::sort(cuts.objects.begin(), cuts.objects.end(), [](const CutObject &a, const CutObject &b) {
        return std::pair{a.square.row, a.square.column} < std::pair{b.square.row, b.square.column};
    });
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
