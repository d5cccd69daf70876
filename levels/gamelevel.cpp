#include "gamelevel.h"

#include "gamerules.h"
#include "startsquare.h"
#include "supaplexexport.h"

#include "game/engine.h"

#include "platform/errors.h"

#include <algorithm>

namespace qm {

namespace {

uint8_t codeOfRule(const TileRules *rules)
{
    namespace c = game::code;
    if (!rules)
        return c::kBase;
    switch (rules->rule) {
    case TileRule::Wall: return c::kHardware;
    case TileRule::Breakable: return c::kChip;
    case TileRule::Movable: return c::kZonk;
    case TileRule::Enemy: return rules->leaves != 0 ? c::kElectron : c::kSnikSnak;
    case TileRule::Exit: return c::kExit;
    case TileRule::Port:
        switch (rules->directions) {
        case kRight: return c::kPortRight;
        case kDown: return c::kPortDown;
        case kLeft: return c::kPortLeft;
        case kUp: return c::kPortUp;
        case kUp | kDown: return c::kPortVertical;
        case kLeft | kRight: return c::kPortHorizontal;
        default: return c::kPortFourWay;
        }
    default: return c::kBase;
    }
}

} // namespace

uint8_t gameCodeOfSquare(const cell &square)
{
    const TileRules *rules = tileRules(square.tile);
    if (rules && rules->gameCode >= 0)
        return supaplexCodeOf(square, *rules);
    return codeOfRule(rules);
}

game::Level gameLevelOf(const tlevel &level, std::optional<Square> heroAt)
{
    game::Level played;
    played.width = level.width;
    played.height = level.height;
    played.codes.resize(size_t(std::max(played.width, 0)) * size_t(std::max(played.height, 0)));
    if (const std::string problem = game::levelProblem(played); !problem.empty())
        throw Error("EPlayError", problem + ".");
    const Square hero = heroAt.value_or(Square{int32_t(std::clamp<int64_t>(startSquareOf(level.startx), -1, 101)),
                                               int32_t(std::clamp<int64_t>(startSquareOf(level.starty), -1, 101))});
    if (hero.column < 1 || hero.column > level.width || hero.row < 1 || hero.row > level.height)
        throw Error("EPlayError", "The hero's square (column " + std::to_string(hero.column) + ", row " +
                                      std::to_string(hero.row) + ") lies outside the level: set the start square "
                                      "inside it first.");
    for (int32_t r = 1; r <= level.height; ++r)
        for (int32_t c = 1; c <= level.width; ++c) {
            uint8_t code = gameCodeOfSquare(*level.cellAt(r, c));
            if (heroAt && code == game::code::kHero)
                code = game::code::kBase;
            played.codes[size_t((r - 1) * level.width + (c - 1))] = code;
        }
    played.codes[size_t((hero.row - 1) * level.width + (hero.column - 1))] = game::code::kHero;
    const SupaplexHeader header = keptHeaderOf(level);
    std::copy(header.begin(), header.end(), played.settings.begin());
    played.settings[game::settings::kInfotrons] = uint8_t(std::clamp(level.infotrons, 0, 255));
    return played;
}

} // namespace qm
