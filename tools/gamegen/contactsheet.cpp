#include "contactsheet.h"

#include "graphics/dximagelist.h"
#include "graphics/offscreendrawtarget.h"
#include "graphics/pixelfont.h"
#include "platform/errors.h"

#include <QImage>
#include <QString>

#include <algorithm>
#include <string>
#include <vector>

namespace qm::gamegen {

namespace {

constexpr int kSheetWidth = 1180;
constexpr int kMargin = 12;
constexpr int kLabelHeight = 12;

void fillRect(TDirectDrawSurface &s, int x0, int y0, int w, int h, uint32_t rgb)
{
    const uint32_t value = s.ColorToPixel(rgbColor(uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)));
    for (int y = std::max(0, y0); y < std::min(s.Height(), y0 + h); ++y)
        for (int x = std::max(0, x0); x < std::min(s.Width(), x0 + w); ++x)
            s.setPixel(x, y, value);
}

// A checkerboard under a picture, so that its transparent pixels stand out.
void checkerboard(TDirectDrawSurface &s, int x0, int y0, int w, int h)
{
    const uint32_t a = s.ColorToPixel(rgbColor(150, 150, 156)), b = s.ColorToPixel(rgbColor(110, 110, 118));
    for (int y = std::max(0, y0); y < std::min(s.Height(), y0 + h); ++y)
        for (int x = std::max(0, x0); x < std::min(s.Width(), x0 + w); ++x)
            s.setPixel(x, y, (((x - x0) / 8 + (y - y0) / 8) % 2) ? a : b);
}

void label(TDirectDrawSurface &s, const std::string &text, int x, int y, uint32_t rgb = 0xF0F0E0)
{
    const uint32_t value = s.ColorToPixel(rgbColor(uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)));
    forEachTextPixel(text, x, y, 1, [&](int px, int py) { s.setPixel(px, py, value); });
}

// Pattern grid of an item: columns and the size of one pattern.
struct Grid {
    int columns = 1, width = 0, height = 0;
};

Grid gridOf(const TPictureCollectionItem &item)
{
    const int pw = item.Picture().Width(), ph = item.Picture().Height();
    Grid g;
    g.width = item.PatternWidth() > 0 ? item.PatternWidth() : pw;
    g.height = item.PatternHeight() > 0 ? item.PatternHeight() : ph;
    const int step = g.width + item.SkipWidth();
    if (step > 0 && !(g.width == pw && g.height == ph))
        g.columns = std::max(1, (pw + item.SkipWidth()) / step);
    return g;
}

void save(const TDirectDrawSurface &s, const std::string &pngPath)
{
    QImage image(s.Width(), s.Height(), QImage::Format_RGB32);
    for (int y = 0; y < s.Height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < s.Width(); ++x)
            line[x] = 0xFF000000u | s.pixel(x, y);
    }
    if (!image.save(QString::fromStdString(pngPath), "PNG"))
        throw Error("EInOutError", "Cannot write " + pngPath);
}

} // namespace

void writeContactSheet(const std::string &dxgPath, const std::string &pngPath)
{
    OffscreenDrawTarget target(SurfacePixelFormat::Xrgb8888);
    target.Initialize();
    TDXImageList list;
    list.SetDXDraw(&target);
    TPictureCollection &items = list.Items();
    items.LoadFromFile(dxgPath);

    // Shelf layout: pictures in index order, left to right, a new shelf when the row is full.
    struct Place {
        int x, y;
    };
    std::vector<Place> places;
    int x = kMargin, y = kMargin + 16, shelf = 0;
    for (int i = 0; i < items.Count(); ++i) {
        const TPictureCollectionItem &item = items.Items(i);
        const std::string text = std::to_string(i) + " " + item.Name();
        const int w = std::max(item.Picture().Width(), textWidth(text, 1));
        const int h = item.Picture().Height() + kLabelHeight;
        if (x + w > kSheetWidth - kMargin && x > kMargin) {
            x = kMargin;
            y += shelf + kMargin;
            shelf = 0;
        }
        places.push_back({x, y});
        x += w + kMargin;
        shelf = std::max(shelf, h);
    }
    int height = y + shelf + kMargin;
    const bool editorFile = items.findItem("fondtop") && items.findItem("p");
    const int previewTop = height + 16;
    if (editorFile)
        height = previewTop + 483 + kMargin;

    TDirectDrawSurface sheet(SurfacePixelFormat::Xrgb8888);
    sheet.SetSize(kSheetWidth, height);
    fillRect(sheet, 0, 0, kSheetWidth, height, 0x30343C);
    label(sheet, dxgPath.substr(dxgPath.find_last_of('/') + 1) + ": " + std::to_string(items.Count()) + " PICTURES",
          kMargin, 6, 0xFFE080);

    for (int i = 0; i < items.Count(); ++i) {
        const TPictureCollectionItem &item = items.Items(i);
        const Place at = places[size_t(i)];
        label(sheet, std::to_string(i) + " " + item.Name(), at.x, at.y);
        const int top = at.y + kLabelHeight;
        checkerboard(sheet, at.x, top, item.Picture().Width(), item.Picture().Height());
        // Every pattern at its place in the picture.
        const Grid g = gridOf(item);
        for (int k = 0; k < item.PatternCount(); ++k)
            item.Draw(sheet, at.x + (k % g.columns) * (g.width + item.SkipWidth()),
                      top + (k / g.columns) * (g.height + item.SkipHeight()), k);
    }

    if (editorFile) {
        // The panel as the frame draws it: slots at 41-pixel pitch, then the panel over them.
        label(sheet, "PANEL OVER THE SLOTS", kMargin, previewTop - 12, 0xFFE080);
        const int ox = kMargin - 640 + 20;
        checkerboard(sheet, ox + 640, previewTop, 121, 483);
        for (int row = 0; row < 8; ++row)
            for (int col = 0; col < 3; ++col)
                items.Find("p").Draw(sheet, ox + 641 + 41 * col, previewTop + 97 + 41 * row, 0);
        items.Find("fondtop").Draw(sheet, ox + 640, previewTop, 0);
        // Pointers as drawn at a pointer position marked by a red dot.
        const char *names[] = {"mouse", "mouseup", "mouseleft", "mousedown", "mouseright", "mousex"};
        const int offsets[] = {0, 0, 0, 27, 27, 1};
        for (int k = 0; k < 6; ++k) {
            const int px = 260 + (k % 3) * 120, py = previewTop + 40 + (k / 3) * 100;
            fillRect(sheet, px - 70 + 20, py - 20, 110, 90, 0x506070);
            if (const TPictureCollectionItem *item = items.findItem(names[k]))
                item->Draw(sheet, px - offsets[k], py - (k == 5 ? 1 : 0), 0);
            fillRect(sheet, px, py, 1, 1, 0xFF2020);
            label(sheet, names[k], px - 40, py + 54);
        }
    }
    save(sheet, pngPath);
}

} // namespace qm::gamegen
