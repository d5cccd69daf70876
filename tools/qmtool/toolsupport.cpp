#include "toolsupport.h"

#include "commands.h"

#include "commands/filenames.h"

#include "graphics/directdrawsurface.h"

#include "platform/errors.h"
#include "platform/fileio.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>
#include <cstdio>

QJsonValue jsonText(const std::string &bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string localPath(const QString &path) { return qm::toPath(path); }

QString usageLine(const ToolCommand &command)
{
    return QString("qmtool %1 %2 %3").arg(command.group, command.name, command.arguments).trimmed();
}

QStringList parseCommand(QCommandLineParser &parser, const QStringList &args, const ToolCommand &command,
                         int positional, int maxPositional)
{
    const QCommandLineOption help({"h", "help"}, "Shows this help.");
    parser.addOption(help);
    QStringList argv = args;
    argv.prepend(QStringLiteral("qmtool"));
    const QString usage = "usage: " + usageLine(command);
    if (!parser.parse(argv))
        throw UsageError{parser.errorText() + "\n" + usage};
    if (parser.isSet(help)) {
        QString text = usage + "\n" + command.summary + "\n";
        if (!parser.applicationDescription().isEmpty())
            text += "\n" + parser.applicationDescription() + "\n";
        const QString options = parser.helpText();
        text += "\n" + options.mid(options.indexOf("Options:"));
        throw HelpRequested{text};
    }
    QStringList words = parser.positionalArguments();
    words.removeFirst(); // the command word
    if (words.size() < positional || words.size() > std::max(positional, maxPositional))
        throw UsageError{usage};
    return words;
}

void printJson(const QJsonValue &value)
{
    QJsonDocument doc = value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    QByteArray text = doc.toJson(QJsonDocument::Indented);
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
}

void saveSurfaceImage(const qm::TDirectDrawSurface &surface, const QString &path)
{
    const bool wide = qm::bytesPerPixel(surface.pixelFormat()) == 4;
    QImage image(surface.bits(), surface.Width(), surface.Height(),
                 static_cast<qsizetype>(surface.pitch()),
                 wide ? QImage::Format_RGB32 : QImage::Format_RGB16);
    saveImage(image, path);
}

const char *imageFormat(const QString &path)
{
    for (const char *format : {"PNG", "PPM", "BMP"})
        if (path.endsWith(QString(".") + format, Qt::CaseInsensitive))
            return format;
    throw UsageError{"OUT must end in .png, .ppm or .bmp: " + path};
}

void saveImage(const QImage &image, const QString &path)
{
    const char *format = imageFormat(path);
    // Encoded in memory, then saved as every file is (a device or a pipe is refused, a failure leaves
    // the previous file).
    QByteArray encoded;
    QBuffer buffer(&encoded);
    if (!buffer.open(QIODevice::WriteOnly) || !image.convertToFormat(QImage::Format_RGB888).save(&buffer, format))
        throw qm::Error("EInOutError", "Cannot write the image " + localPath(path));
    qm::writeFileSafely(localPath(path), encoded.constData(), size_t(encoded.size()));
}

std::string shortTextOption(const QString &text, const QString &option)
{
    for (const char32_t character : text.toUcs4())
        if (character > 0xFF)
            throw UsageError{"--" + option + " holds the character " + QString::fromUcs4(&character, 1)
                             + ", which a levels file cannot store (one byte a character, U+0000 to U+00FF)"};
    const QByteArray bytes = text.toLatin1();
    if (bytes.size() > 255)
        throw UsageError{"--" + option + " holds " + QString::number(bytes.size())
                         + " characters; a levels file stores at most 255"};
    return bytes.toStdString();
}

std::pair<int, int> parsePair(const QString &text, const QString &option)
{
    const QStringList parts = text.split(',');
    bool okX = false, okY = false;
    if (parts.size() == 2) {
        int x = parts[0].trimmed().toInt(&okX);
        int y = parts[1].trimmed().toInt(&okY);
        if (okX && okY)
            return {x, y};
    }
    throw UsageError{"--" + option + " takes two whole numbers, X,Y"};
}

std::pair<double, double> parseOffset(const QString &text, const QString &option)
{
    const QStringList parts = text.split(',');
    bool okX = false, okY = false;
    if (parts.size() == 2) {
        double x = parts[0].trimmed().toDouble(&okX);
        double y = parts[1].trimmed().toDouble(&okY);
        if (okX && okY && std::abs(x) < 1e7 && std::abs(y) < 1e7)
            return {x, y};
    }
    throw UsageError{"--" + option + " takes two numbers, X,Y"};
}
