// qmtool lev sheet: every level of a levels file drawn small on one image, each under its number and
// name, so that a file can be looked over at a glance.

#include "commands.h"
#include "toolsupport.h"

#include "editor/core/levelgraphics.h"
#include "editor/core/thumbnail.h"
#include "levels/levelstore.h"

#include "graphics/dximagelist.h"
#include "graphics/offscreendrawtarget.h"
#include "graphics/pixelfont.h"

#include "platform/errors.h"

#include <QImage>

#include <algorithm>
#include <map>

namespace {

constexpr int kMargin = 8;   // around the sheet and between the levels
constexpr int kLabelGap = 3; // between a label and its thumbnail
constexpr int kMaxSide = 32767;
constexpr int64_t kMaxPixels = int64_t(1) << 28;
constexpr QRgb kBackground = 0xFF202020;
constexpr QRgb kText = 0xFFE0E0E0;

int numberOption(const QCommandLineParser &parser, const ToolCommand &command, const QString &name, int low, int high)
{
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < low || value > high)
        throw UsageError{"--" + name + " takes a number from " + QString::number(low) + " to " + QString::number(high)
                         + "\nusage: " + usageLine(command)};
    return value;
}

// The thumbnails of all levels, the tile pictures of each graphics file sampled once.
std::vector<qm::Thumbnail> thumbnails(const std::string &gamedir, int32_t square)
{
    qm::OffscreenDrawTarget target(qm::SurfacePixelFormat::Xrgb8888, 1, 1);
    target.Initialize();
    std::map<std::string, qm::ThumbnailTiles> reduced;
    std::vector<qm::Thumbnail> result;
    for (int k = 1; k <= qm::levelsinfo.count; ++k) {
        const qm::tlevel &level = qm::levels[k];
        auto known = reduced.find(level.dxg);
        if (known == reduced.end()) {
            qm::TDXImageList tiles;
            tiles.SetDXDraw(&target);
            qm::loadLevelGraphics(tiles.Items(), gamedir, level.dxg);
            known = reduced.emplace(level.dxg, qm::reduceTiles(tiles.Items(), square)).first;
        }
        result.push_back(qm::drawThumbnail(level, known->second));
    }
    return result;
}

} // namespace

int levSheet(const ToolCommand &command, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addOption({"columns", "Levels side by side (1 to 200, default 8).", "N", "8"});
    parser.addOption({"size", "Pixels a square is drawn with, on a side (1 to 40, default 3).", "PIXELS", "3"});
    parser.addOption({"gamedir", "Where the graphics files are (default: the directory of qmtool).", "DIR"});
    const QStringList words = parseCommand(parser, args, command, 2);
    imageFormat(words[1]);
    const int columns = numberOption(parser, command, "columns", 1, qm::kMaxLevels);
    const int square = numberOption(parser, command, "size", qm::kMinThumbnailSquare, qm::kMaxThumbnailSquare);
    readInto(words[0]);
    const int count = qm::levelsinfo.count;
    if (count == 0)
        throw qm::Error("Error", "The file " + localPath(words[0]) + " holds no levels");

    // Every level gets a slot as wide as the widest level or label and as tall as the tallest level,
    // so that the rows line up; each label sits above its thumbnail.
    std::vector<std::string> labels;
    int slotWidth = 1, tallest = 1;
    for (int k = 1; k <= count; ++k) {
        labels.push_back(std::to_string(k) + " " + qm::levels[k].name);
        slotWidth = std::max({slotWidth, std::clamp(qm::levels[k].width, 0, qm::kGridSize) * square,
                              qm::textWidth(labels.back(), 1)});
        tallest = std::max(tallest, std::clamp(qm::levels[k].height, 0, qm::kGridSize));
    }
    const int thumbnailTop = qm::kGlyphHeight + kLabelGap;
    const int slotHeight = thumbnailTop + tallest * square;
    const int across = std::min(columns, count);
    const int down = (count + columns - 1) / columns;
    const int64_t width = kMargin + int64_t(across) * (slotWidth + kMargin);
    const int64_t height = kMargin + int64_t(down) * (slotHeight + kMargin);
    if (width > kMaxSide || height > kMaxSide || width * height > kMaxPixels)
        throw UsageError{QString("The sheet would be %1 x %2 pixels, too large: choose a smaller --size or other --columns")
                             .arg(width)
                             .arg(height)};

    const std::vector<qm::Thumbnail> small = thumbnails(gamedirOption(parser), square);
    QImage sheet(int(width), int(height), QImage::Format_RGB32);
    sheet.fill(kBackground);
    for (int k = 1; k <= count; ++k) {
        const int x = kMargin + (k - 1) % columns * (slotWidth + kMargin);
        const int y = kMargin + (k - 1) / columns * (slotHeight + kMargin);
        const qm::Thumbnail &thumbnail = small[size_t(k - 1)];
        qm::forEachTextPixel(labels[size_t(k - 1)], x, y, 1,
                                      [&](int px, int py) { sheet.setPixel(px, py, kText); });
        for (int row = 0; row < thumbnail.height; ++row) {
            QRgb *line = reinterpret_cast<QRgb *>(sheet.scanLine(y + thumbnailTop + row)) + x;
            const uint32_t *from = thumbnail.pixels.data() + size_t(row) * size_t(thumbnail.width);
            for (int column = 0; column < thumbnail.width; ++column)
                line[column] = 0xFF000000u | from[column]; // 0x00RRGGBB
        }
    }
    saveImage(sheet, words[1]);
    return 0;
}
