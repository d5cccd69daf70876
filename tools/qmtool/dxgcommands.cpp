// qmtool dxg: graphics files.

#include "commands.h"
#include "toolsupport.h"

#include "graphics/colors.h"
#include "graphics/componentwriter.h"
#include "graphics/dib.h"
#include "graphics/directdrawsurface.h"
#include "graphics/patternlayout.h"
#include "graphics/picturecollection.h"

#include "platform/errors.h"
#include "platform/fileio.h"
#include "platform/limits.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace {

const char *const kManifestHelp = R"(The manifest is a JSON object:
  {
    "resourcename": "TPICTURECOLLECTIONCOMPONENT",  (optional) name in the resource header
    "colortable": true,           (optional) write the 1,024-byte colour table
    "ordernumbers": false,        (optional) give each picture its index as order number
    "pictures": [                 in file order
      {
        "name": "wall",           the lookup name
        "image": "wall.png",      image file, relative to the manifest; left out: an empty picture
        "class": "TDIB",          "TDIB" or "TBitmap"
        "bitcount": 24,           1, 4, 8 (palette: the image's own or its colours), 16, 24 or 32
        "rle": false,             run-length data (4 and 8 bits)
        "topdown": false,         rows stored top row first
        "rgb565": false,          16 bits as 5-6-5 (otherwise 5-5-5)
        "bitfields": false,       32 bits with explicit masks
        "coreheader": false,      the 12-byte information header
        "patternwidth": 0, "patternheight": 0, "skipwidth": 0, "skipheight": 0,
        "systemmemory": false, "transparent": true,
        "transparentcolor": 0     a number (0x00BBGGRR), a colour name such as "clFuchsia", or "#RRGGBB"
      }
    ]
  })";

int dxgInfo(const ToolCommand &command, const QStringList &args)
{
    QCommandLineParser parser;
    QStringList words = parseCommand(parser, args, command, 1);
    qm::TPictureCollection collection;
    collection.LoadFromFile(localPath(words[0]));
    QJsonArray pictures;
    for (int32_t i = 0; i < collection.Count(); ++i) {
        const qm::TPictureCollectionItem &item = collection.Items(i);
        const qm::TGraphic *graphic = item.Picture().Graphic();
        const auto *dib = dynamic_cast<const qm::TDIB *>(graphic);
        qm::PatternLayout layout(item.Picture().Width(), item.Picture().Height(), item.patternGeometry());
        pictures.append(QJsonObject{
            {"index", i},
            {"name", jsonText(item.Name())},
            {"class", graphic ? QString::fromStdString(graphic->className()) : QString()},
            {"width", item.Picture().Width()},
            {"height", item.Picture().Height()},
            {"bitcount", dib ? dib->bitCount() : 0},
            {"patternwidth", item.PatternWidth()},
            {"patternheight", item.PatternHeight()},
            {"skipwidth", item.SkipWidth()},
            {"skipheight", item.SkipHeight()},
            {"systemmemory", item.SystemMemory()},
            {"transparent", item.Transparent()},
            {"transparentcolor", static_cast<qint64>(item.TransparentColor())},
            {"patterns", static_cast<qint64>(item.Picture().Empty() ? 0 : layout.count())},
        });
    }
    printJson(QJsonObject{{"pictures", pictures}});
    return 0;
}

int dxgExtract(const ToolCommand &command, const QStringList &args)
{
    QCommandLineParser parser;
    QStringList words = parseCommand(parser, args, command, 3);
    bool ok = false;
    int index = words[1].toInt(&ok);
    if (!ok)
        throw UsageError{"INDEX must be a whole number\nusage: qmtool dxg extract FILE INDEX OUT"};
    imageFormat(words[2]);
    qm::TPictureCollection collection;
    collection.LoadFromFile(localPath(words[0]));
    const qm::TPictureCollectionItem &item = collection.Items(index);
    if (item.Picture().Empty())
        throw qm::Error("EInvalidGraphic", "Picture " + std::to_string(index) + " has no image");
    // 32 bits per pixel holds every decoded colour exactly.
    qm::TDirectDrawSurface surface(qm::SurfacePixelFormat::Xrgb8888);
    const qm::TGraphic &graphic = *item.Picture().Graphic();
    surface.LoadFromPicture(graphic, {0, 0, graphic.Width(), graphic.Height()});
    saveSurfaceImage(surface, words[2]);
    return 0;
}

// The manifest's reading, with a usage error for anything it does not understand.
struct ManifestReader {
    QString manifestPath;

    [[noreturn]] void fail(const QString &what) const
    {
        throw UsageError{manifestPath + ": " + what + "\n\n" + kManifestHelp};
    }

    void checkKeys(const QJsonObject &object, const QSet<QString> &known, const QString &where) const
    {
        for (const QString &key : object.keys())
            if (!known.contains(key))
                fail(where + ": unknown key \"" + key + "\"");
    }

    int integer(const QJsonObject &o, const char *key, int fallback, const QString &where) const
    {
        QJsonValue v = o.value(key);
        if (v.isUndefined())
            return fallback;
        if (!v.isDouble() || v.toDouble() != double(qint64(v.toDouble())))
            fail(where + ": \"" + key + "\" must be a whole number");
        return int(qint64(v.toDouble()));
    }

    bool boolean(const QJsonObject &o, const char *key, bool fallback, const QString &where) const
    {
        QJsonValue v = o.value(key);
        if (v.isUndefined())
            return fallback;
        if (!v.isBool())
            fail(where + ": \"" + key + "\" must be true or false");
        return v.toBool();
    }

    qm::TColor color(const QJsonValue &v, const QString &where) const
    {
        if (v.isUndefined())
            return qm::clBlack;
        if (v.isDouble())
            return static_cast<qm::TColor>(qint64(v.toDouble()));
        QString text = v.toString();
        if (text.startsWith('#') && text.size() == 7) {
            bool ok = false;
            uint rgb = text.mid(1).toUInt(&ok, 16);
            if (ok)
                return qm::rgbColor(uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
        }
        if (auto c = qm::colorFromIdent(text.toStdString()))
            return *c;
        fail(where + ": \"transparentcolor\" must be a number, a colour name or #RRGGBB");
    }

    qm::PixelImage image(const QString &file, int bitCount, const QString &where) const
    {
        QString path = QFileInfo(manifestPath).dir().filePath(file);
        QImage img;
        if (!img.load(path))
            throw qm::Error("EFOpenError", "Cannot open file " + localPath(path));
        const int w = img.width(), h = img.height();
        if (bitCount <= 8 && img.format() == QImage::Format_Indexed8) {
            std::vector<uint8_t> indexes;
            for (int y = 0; y < h; ++y) {
                const uchar *line = img.constScanLine(y);
                indexes.insert(indexes.end(), line, line + w);
            }
            std::vector<uint32_t> palette;
            for (QRgb c : img.colorTable())
                palette.push_back(c & 0xFFFFFF);
            if (palette.empty())
                fail(where + ": the image has no colour table");
            return qm::PixelImage::fromIndexed(w, h, indexes, palette);
        }
        img = img.convertToFormat(QImage::Format_RGB32);
        std::vector<uint32_t> rgb;
        for (int y = 0; y < h; ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
            for (int x = 0; x < w; ++x)
                rgb.push_back(line[x] & 0xFFFFFF);
        }
        return qm::PixelImage::fromRgb(w, h, rgb);
    }

    qm::PictureEntry picture(const QJsonObject &o, int index) const
    {
        const QString where = "picture " + QString::number(index);
        checkKeys(o,
                  {"name", "image", "class", "bitcount", "rle", "topdown", "rgb565", "bitfields", "coreheader",
                   "patternwidth", "patternheight", "skipwidth", "skipheight", "systemmemory", "transparent",
                   "transparentcolor"},
                  where);
        if (!o.value("name").isString())
            fail(where + ": \"name\" must be a text");
        QString className = o.value("class").toString("TDIB");
        if (className != "TDIB" && className != "TBitmap")
            fail(where + ": \"class\" must be \"TDIB\" or \"TBitmap\"");
        qm::DibEncoding enc;
        enc.bitCount = integer(o, "bitcount", 24, where);
        enc.runLength = boolean(o, "rle", false, where);
        enc.topDown = boolean(o, "topdown", false, where);
        enc.rgb565 = boolean(o, "rgb565", false, where);
        enc.bitFields = boolean(o, "bitfields", false, where);
        enc.coreHeader = boolean(o, "coreheader", false, where);

        qm::PictureEntry entry;
        entry.graphicClass = className.toStdString();
        if (o.contains("image")) {
            qm::PixelImage img = image(o.value("image").toString(), enc.bitCount, where);
            try {
                entry = qm::PictureEntry::fromImage("", img, enc, className == "TBitmap");
            } catch (const qm::EncodeError &e) {
                fail(where + ": " + e.what());
            }
        } else if (className == "TBitmap") {
            entry.graphicData = {0, 0, 0, 0}; // a bitmap of length 0: empty
        }
        entry.name = o.value("name").toString().toLatin1().toStdString();
        entry.patternWidth = integer(o, "patternwidth", 0, where);
        entry.patternHeight = integer(o, "patternheight", 0, where);
        entry.skipWidth = integer(o, "skipwidth", 0, where);
        entry.skipHeight = integer(o, "skipheight", 0, where);
        entry.systemMemory = boolean(o, "systemmemory", false, where);
        entry.transparent = boolean(o, "transparent", true, where);
        entry.transparentColor = color(o.value("transparentcolor"), where);
        return entry;
    }
};

int dxgPack(const ToolCommand &command, const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(kManifestHelp);
    QStringList words = parseCommand(parser, args, command, 2);
    ManifestReader reader{words[0]};
    qm::Bytes bytes;
    try {
        bytes = qm::readWholeFile(localPath(words[0]), qm::kMaxGraphicsFileBytes);
    } catch (const qm::EInOutError &e) {
        throw qm::Error("EFOpenError", "Cannot open file " + localPath(words[0]) + ": " + e.what());
    }
    QJsonParseError error;
    QJsonDocument doc = QJsonDocument::fromJson(
        QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size())), &error);
    if (!doc.isObject())
        reader.fail(error.error != QJsonParseError::NoError ? error.errorString() : "not a JSON object");
    QJsonObject manifest = doc.object();
    reader.checkKeys(manifest, {"resourcename", "colortable", "ordernumbers", "pictures"}, "manifest");
    if (!manifest.value("pictures").isArray())
        reader.fail("\"pictures\" must be a list");

    qm::GraphicsFileOptions options;
    options.resourceName = manifest.value("resourcename").toString("TPICTURECOLLECTIONCOMPONENT").toStdString();
    options.colorTable = reader.boolean(manifest, "colortable", true, "manifest");
    options.orderNumbers = reader.boolean(manifest, "ordernumbers", false, "manifest");
    std::vector<qm::PictureEntry> pictures;
    const QJsonArray list = manifest.value("pictures").toArray();
    for (int i = 0; i < list.size(); ++i) {
        if (!list[i].isObject())
            reader.fail("picture " + QString::number(i) + " must be an object");
        pictures.push_back(reader.picture(list[i].toObject(), i));
    }
    qm::writeFileSafely(localPath(words[1]), qm::writeGraphicsFile(pictures, options));
    return 0;
}

} // namespace

const ToolGroup dxgGroup{
    "dxg", "graphics files", nullptr,
    {
        {"dxg", "info", "FILE", "Prints the pictures of a graphics file and their properties as JSON.", dxgInfo},
        {"dxg", "extract", "FILE INDEX OUT", "Writes picture INDEX, decoded, as an image (.png, .ppm or .bmp).",
         dxgExtract},
        {"dxg", "pack", "MANIFEST OUT", "Builds a graphics file from images and a JSON manifest.", dxgPack},
    }};
