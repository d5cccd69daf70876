#include "levelclipboard.h"

#include "platform/bytes.h"
#include "platform/errors.h"

#include <cstddef>

namespace qm {

namespace {

constexpr char kLevelsMagic[] = "QMLEVS02";
constexpr char kLevelsMagicWithoutSolutions[] = "QMLEVS01";
constexpr size_t kMagicSize = sizeof(kLevelsMagic) - 1;
constexpr int32_t kLongestSolution = 48650; // what the game reads after a level, end mark included
constexpr size_t kLongestText = 255;

void putText(std::string &out, const std::string &text)
{
    const std::string_view kept = std::string_view(text).substr(0, kLongestText);
    appendLe32(out, uint32_t(kept.size()));
    out.append(kept);
}

Error damaged(const std::string &what)
{
    return Error("ELevelsClipboard", "The levels on the clipboard are damaged: " + what + ".");
}

// Reads forward through the bytes; every read is checked against what is left.
class Reader {
public:
    explicit Reader(std::string_view bytes) : mBytes(bytes) {}

    int32_t number(const char *what)
    {
        if (mBytes.size() - mAt < 4)
            throw damaged(std::string("they end before ") + what);
        const int32_t value = loadLe32(mBytes, mAt);
        mAt += 4;
        return value;
    }
    int32_t bounded(const char *what, int32_t least, int32_t most)
    {
        const int32_t value = number(what);
        if (value < least || value > most)
            throw damaged(std::string(what) + " is " + std::to_string(value) + ", not " + std::to_string(least)
                          + " to " + std::to_string(most));
        return value;
    }
    std::string text(const char *what)
    {
        const auto length = size_t(bounded(what, 0, int32_t(kLongestText)));
        if (mBytes.size() - mAt < length)
            throw damaged(std::string("they end inside ") + what);
        std::string out(mBytes.substr(mAt, length));
        mAt += length;
        return out;
    }
    size_t left() const { return mBytes.size() - mAt; }
    std::vector<uint8_t> bytes(size_t count)
    {
        const auto *at = reinterpret_cast<const uint8_t *>(mBytes.data() + mAt);
        mAt += count; // the caller checked that they are there
        return {at, at + count};
    }

private:
    std::string_view mBytes;
    size_t mAt = kMagicSize;
};

} // namespace

std::vector<CarriedLevel> carryLevels(const std::vector<int32_t> &numbers)
{
    std::vector<CarriedLevel> carried;
    for (int32_t k : numbers) {
        if (k < 1 || k > levelsinfo.count)
            continue;
        const tlevel &level = levels[k];
        CarriedLevel one{level.dxg, level.name, level.startx, level.starty, level.reserved,
                         std::clamp(level.width, 0, kGridSize), std::clamp(level.height, 0, kGridSize),
                         level.infotrons, {}, level.solution};
        one.cells.reserve(size_t(one.width) * size_t(one.height));
        for (int32_t r = 1; r <= one.height; ++r)
            for (int32_t c = 1; c <= one.width; ++c)
                one.cells.push_back(*level.cellAt(r, c));
        carried.push_back(std::move(one));
    }
    return carried;
}

std::string levelsBytes(const std::vector<CarriedLevel> &carried)
{
    std::string out(kLevelsMagic, kMagicSize);
    appendLe32(out, uint32_t(carried.size()));
    for (const CarriedLevel &level : carried) {
        putText(out, level.name);
        putText(out, level.dxg);
        for (int32_t value : {level.startx, level.starty, level.reserved, level.width, level.height, level.infotrons})
            appendLe32(out, uint32_t(value));
        for (const cell &square : level.cells)
            for (int32_t value : {square.tile, square.reserved, square.kind, square.pattern})
                appendLe32(out, uint32_t(value));
        appendLe32(out, uint32_t(level.solution.size()));
        out.append(level.solution.begin(), level.solution.end());
    }
    return out;
}

std::vector<CarriedLevel> readLevelsBytes(std::string_view bytes)
{
    const std::string_view magic = bytes.substr(0, std::min(bytes.size(), kMagicSize));
    const bool withSolutions = magic == std::string_view(kLevelsMagic, kMagicSize);
    if (!withSolutions && magic != std::string_view(kLevelsMagicWithoutSolutions, kMagicSize))
        throw damaged("they do not start as levels do");
    Reader in(bytes);
    const int32_t count = in.bounded("the number of levels", 1, kMaxLevels);
    std::vector<CarriedLevel> carried;
    carried.reserve(size_t(count));
    for (int32_t k = 1; k <= count; ++k) {
        const std::string which = "level " + std::to_string(k);
        CarriedLevel level;
        level.name = in.text(("the name of " + which).c_str());
        level.dxg = in.text(("the graphics file of " + which).c_str());
        level.startx = in.number("a start");
        level.starty = in.number("a start");
        level.reserved = in.number("a level's reserved value");
        level.width = in.bounded(("the width of " + which).c_str(), 0, kGridSize);
        level.height = in.bounded(("the height of " + which).c_str(), 0, kGridSize);
        level.infotrons = in.number("the infotrons needed");
        const size_t cells = size_t(level.width) * size_t(level.height);
        // Checked before anything is reserved: the size must be there.
        if (in.left() / 16 < cells)
            throw damaged("they end inside the cells of " + which);
        level.cells.reserve(cells);
        for (size_t i = 0; i < cells; ++i) {
            const cell square{in.number("a cell"), in.number("a cell"), in.number("a cell"), in.number("a cell")};
            // Named only when refused: a full file carries two million cells.
            const auto refuse = [&](const char *what, int32_t value) {
                return damaged(which + " cell " + std::to_string(i / size_t(level.width) + 1) + ","
                               + std::to_string(i % size_t(level.width) + 1) + " has " + what + " "
                               + std::to_string(value));
            };
            if (square.kind != kKindOrdinary && square.kind != kKindMarked && square.kind != kKindOnTop)
                throw refuse("kind", square.kind);
            if (square.tile < 0)
                throw refuse("tile", square.tile);
            if (square.pattern < 0)
                throw refuse("pattern", square.pattern);
            level.cells.push_back(square);
        }
        if (withSolutions) {
            const auto length = size_t(in.bounded(("the solution of " + which).c_str(), 0, kLongestSolution));
            if (in.left() < length)
                throw damaged("they end inside the solution of " + which);
            level.solution = in.bytes(length);
            if (length == 1 || (length > 1 && level.solution.back() != 0xFF))
                throw damaged("the solution of " + which + " has no end mark");
        }
        carried.push_back(std::move(level));
    }
    if (in.left() != 0)
        throw damaged(std::to_string(in.left()) + " bytes follow the last level");
    return carried;
}

std::unique_ptr<tlevel> levelOfCarried(const CarriedLevel &carried)
{
    auto level = std::make_unique<tlevel>();
    initNewLevel(*level);
    level->dxg = carried.dxg;
    level->name = carried.name;
    level->startx = carried.startx;
    level->starty = carried.starty;
    level->reserved = carried.reserved;
    level->width = std::clamp(carried.width, 0, kGridSize);
    level->height = std::clamp(carried.height, 0, kGridSize);
    level->infotrons = carried.infotrons;
    level->solution = carried.solution;
    // Only the cells the carried level has: a level made by hand may hold fewer.
    for (size_t i = 0; i < carried.cells.size() && level->width > 0; ++i)
        if (cell *at = level->cellAt(int(i / size_t(level->width)) + 1, int(i % size_t(level->width)) + 1))
            *at = carried.cells[i];
    return level;
}

} // namespace qm
