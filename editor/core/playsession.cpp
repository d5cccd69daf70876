#include "playsession.h"

#include "graphics/directdrawsurface.h"
#include "graphics/picturecollection.h"
#include "levels/gamerules.h"
#include "graphics/colors.h"
#include "levels/tiles.h"

#include "game/recording.h"

#include <algorithm>
#include <cmath>

namespace qm {

namespace {

namespace code = game::code;

// Pixels an object moves a step: 8 steps a square.
constexpr int kStep = kSquare / 8;

// What a sprite shows: a tile, or one of the game's own drawn by code.
constexpr int32_t kExplosionSprite = -1;
constexpr int32_t kHeroSprite = -2;

struct Sprite {
    int32_t tile;
    int64_t x, y; // level pixels of its top-left corner
};

// Where the object in square (column, row) is drawn, in level pixels, by its word's steps.
std::pair<int64_t, int64_t> spritePlace(const game::Engine &engine, int cell, int column, int row)
{
    int64_t x = int64_t(column) * kSquare, y = int64_t(row) * kSquare;
    const uint16_t w = engine.word(cell);
    const uint8_t c = uint8_t(w), s = uint8_t(w >> 8), k = s & 7;
    switch (c) {
    case code::kZonk:
    case code::kInfotron:
        if ((s & 0xF0) == 0x10)
            y -= (7 - k) * kStep; // falling in from the square above
        else if ((s & 0xF0) == 0x20)
            x += (7 - k) * kStep; // rolling in from the right
        else if ((s & 0xF0) == 0x30)
            x -= (7 - k) * kStep;
        break;
    case code::kOrangeDisk:
        if (s >= 0x30 && s < 0x38)
            y += (k + 1) * kStep; // falling out towards the square below
        break;
    case code::kSnikSnak:
    case code::kElectron:
        if (s >= 0x10 && s < 0x30) {
            const int back = (7 - k) * kStep; // still this far from the middle of its new square
            switch (s & 0xF8) {
            case 0x10: y += back; break;
            case 0x18: x += back; break;
            case 0x20: y -= back; break;
            default: x -= back; break;
            }
        }
        break;
    case code::kHero: {
        if (cell != engine.heroCell())
            break;
        const int steps = engine.heroSteps();
        const int behind = std::max(0, 8 - steps) * kStep, ahead = steps * kStep;
        switch (s) {
        // Walking: already in the new square, coming from behind.
        case 0x01: case 0x05: case 0x09: y += behind; break;
        case 0x02: case 0x0A: case 0x1D: x += behind; break;
        case 0x03: case 0x07: case 0x0B: y -= behind; break;
        case 0x04: case 0x08: case 0x0C: case 0x1F: x -= behind; break;
        // Pushing, taking a red disk above or below: still in his square, going ahead.
        case 0x0E: case 0x25: case 0x28: x -= ahead; break;
        case 0x0F: case 0x26: case 0x29: x += ahead; break;
        case 0x1C: case 0x24: y -= ahead; break;
        case 0x1E: case 0x27: y += ahead; break;
        // Through a port: two squares in eight steps.
        case 0x18: y -= 2 * ahead; break;
        case 0x19: x -= 2 * ahead; break;
        case 0x1A: y += 2 * ahead; break;
        case 0x1B: x += 2 * ahead; break;
        default: break;
        }
        break;
    }
    default: break;
    }
    return {x, y};
}

const TPictureCollectionItem *pictureOf(const TPictureCollection &tiles, int32_t tile)
{
    if (tile < 0 || tile >= tiles.Count() || !tiles.Items(tile).Initialized() || tiles.Items(tile).PatternCount() == 0)
        return nullptr;
    return &tiles.Items(tile);
}

} // namespace

uint8_t gameInputOf(const HeldKeys &keys)
{
    uint8_t direction = 0;
    if (keys.up)
        direction = game::kUp;
    if (keys.left)
        direction = game::kLeft;
    if (keys.down)
        direction = game::kDown;
    if (keys.right)
        direction = game::kRight;
    if (keys.space)
        return direction != 0 ? uint8_t(direction + 4) : uint8_t(game::kSpace);
    return direction;
}

void InputRecorder::add(uint8_t input)
{
    if (mRun > 0 && (input != mInput || mRun == 16)) {
        mBytes.push_back(uint8_t((mRun - 1) << 4 | mInput));
        mRun = 0;
    }
    mInput = input;
    ++mRun;
}

void InputRecorder::clear()
{
    mBytes.clear();
    mRun = 0;
}

std::vector<uint8_t> InputRecorder::bytes() const
{
    std::vector<uint8_t> bytes = mBytes;
    if (mRun > 0)
        bytes.push_back(uint8_t((mRun - 1) << 4 | mInput));
    bytes.push_back(game::kEndMark);
    return bytes;
}

std::string gameTime(int frames)
{
    const int seconds = frames / kGameFramesPerSecond;
    const int rest = seconds % 60;
    return std::to_string(seconds / 60) + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}

PlaySession::PlaySession(const tlevel &level, std::optional<Square> heroAt)
    : mLevel(level), mFromHere(heroAt.has_value())
{
    mEngine = std::make_unique<game::Engine>(gameLevelOf(level, heroAt));
    restart();
}

void PlaySession::restart()
{
    mEngine->restart();
    mStartWords.resize(size_t(mEngine->squares()));
    for (int cell = 0; cell < mEngine->squares(); ++cell)
        mStartWords[size_t(cell)] = mEngine->word(cell);
    mRecorder.clear();
    mFrames = 0;
    mPaused = false;
}

void PlaySession::frame(const HeldKeys &keys)
{
    if (mPaused || mEngine->stopped())
        return;
    const uint8_t input = gameInputOf(keys);
    mEngine->frame(input);
    if (!mFromHere)
        mRecorder.add(input);
    ++mFrames;
}

std::string PlaySession::statusText() const
{
    std::string text = "Infotrons needed: " + std::to_string(mEngine->infotronsLeft()) +
                       "   Red disks: " + std::to_string(mEngine->redDisks()) + "   Time: " + gameTime(mFrames);
    if (mPaused)
        text += "   Paused: P to go on";
    else if (mFromHere)
        text += "   Playing from here (not recorded)";
    return text;
}

std::string PlaySession::endText() const
{
    if (finished())
        return "Level finished in " + std::to_string(mFrames) + " frames (" + gameTime(mFrames) + ").";
    if (mEngine->heroDied()) {
        if (!mEngine->levelHasHero())
            return "The level has no hero — Escape to edit";
        const game::ReplayResult result = game::resultOf(*mEngine);
        return std::string("The hero ") + game::killerWords(result.killer) + " at column " +
               std::to_string(result.diedAtColumn) + ", row " + std::to_string(result.diedAtRow) +
               " — R to try again, Escape to edit";
    }
    return {};
}

std::pair<double, double> playView(const PlaySession &session, int mapWidth, int mapHeight)
{
    const game::Engine &engine = session.engine();
    const int width = engine.width(), cell = engine.heroLastFound();
    const auto [heroX, heroY] = spritePlace(engine, cell, cell % width, cell / width);
    const auto along = [](int64_t hero, int map, int levelPixels) {
        if (levelPixels <= map)
            return double(levelPixels - map); // a small level sits against the right and bottom edges
        return double(std::clamp<int64_t>(hero + kSquare / 2 - map / 2, 0, levelPixels - map));
    };
    return {along(heroX, mapWidth, width * kSquare), along(heroY, mapHeight, (engine.squares() / width) * kSquare)};
}

void drawPlayFrame(TDirectDrawSurface &surface, const FramePictures &pictures, const PlaySession &session)
{
    const game::Engine &engine = session.engine();
    const int width = engine.width(), height = engine.squares() / width;
    // The level's own cells where nothing changed; the game's objects over the squares that did.
    static tlevel shown;
    static std::vector<Sprite> sprites;
    sprites.clear();
    const tlevel &level = session.level();
    shown.width = level.width;
    shown.height = level.height;
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c) {
            const int index = r * width + c;
            const uint16_t w = engine.word(index);
            if (w == session.startWord(index)) {
                shown.cells[r][c] = level.cells[r][c];
                continue;
            }
            shown.cells[r][c] = cell{kTileEmpty, 0, kKindOrdinary, 0};
            const uint8_t objectCode = uint8_t(w);
            if (objectCode == code::kSpace || objectCode > code::kExplosion)
                continue; // space, and the marks of squares being entered or left
            const auto [x, y] = spritePlace(engine, index, c, r);
            const int32_t tile = objectCode == code::kExplosion ? kExplosionSprite
                                 : objectCode == code::kHero    ? kHeroSprite
                                                                : tileOfGameCode(objectCode);
            sprites.push_back({tile, x, y});
        }

    // Squares are drawn at their full size whatever the editing zoom, in the map area of the window.
    const int mapWidth = maparea.width(), mapHeight = maparea.height();
    const auto [viewX, viewY] = playView(session, mapWidth, mapHeight);
    surface.Fill(0);
    if (const TPictureCollectionItem *background = pictureOf(pictures.tiles, kTileBackground))
        background->Draw(surface, 0, 0, 0);
    const double editedX = viewx, editedY = viewy;
    viewx = viewX;
    viewy = viewY;
    drawLevel(surface, pictures.tiles, shown);
    viewx = editedX;
    viewy = editedY;
    const uint32_t blast = surface.ColorToPixel(rgbColor(255, 170, 40));
    const uint32_t hero = surface.ColorToPixel(rgbColor(64, 255, 0)), eyes = surface.ColorToPixel(rgbColor(0, 0, 0));
    // A rectangle of the map, clipped to it.
    const auto fill = [&](int64_t left, int64_t top, int64_t right, int64_t bottom, uint32_t pixel) {
        left = std::max<int64_t>(left, 0), top = std::max<int64_t>(top, 0);
        right = std::min<int64_t>(right, mapWidth), bottom = std::min<int64_t>(bottom, mapHeight);
        if (left < right && top < bottom)
            surface.Fill(TRect{int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)}, pixel);
    };
    for (const Sprite &sprite : sprites) {
        const int64_t x = sprite.x - int64_t(std::trunc(viewX)), y = sprite.y - int64_t(std::trunc(viewY));
        if (x <= -kSquare || y <= -kSquare || x >= mapWidth || y >= mapHeight)
            continue;
        if (sprite.tile == kExplosionSprite) {
            fill(x + 4, y + 4, x + kSquare - 4, y + kSquare - 4, blast);
        } else if (sprite.tile == kHeroSprite) {
            // The hero: a green ball with two eyes.
            for (int dy = -15; dy <= 15; ++dy) {
                const int64_t half = int64_t(std::sqrt(double(15 * 15 - dy * dy)));
                fill(x + 20 - half, y + 20 + dy, x + 20 + half, y + 21 + dy, hero);
            }
            fill(x + 13, y + 13, x + 17, y + 19, eyes);
            fill(x + 23, y + 13, x + 27, y + 19, eyes);
        } else if (const TPictureCollectionItem *picture = pictureOf(pictures.tiles, sprite.tile)) {
            picture->Draw(surface, int32_t(x - picture->SkipWidth()), int32_t(y - picture->SkipHeight()), 0);
        }
    }
    drawPanel(surface, pictures);
}

} // namespace qm
