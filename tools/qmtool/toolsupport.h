#pragma once
// Small helpers shared by the command groups of qmtool.

#include <QCommandLineParser>
#include <QJsonValue>
#include <QString>
#include <string>

struct ToolCommand;

// A usage error: printed with the command's synopsis, exit status 1.
struct UsageError {
    QString message;
};

// --help was given: text is the command's help, printed on standard output with exit status 0.
struct HelpRequested {
    QString text;
};

// "qmtool lev info FILE [--cells]"
QString usageLine(const ToolCommand &command);

// Texts of the files are 8-bit: byte b becomes character U+00bb, so JSON output is valid UTF-8 and
// loses nothing.
QJsonValue jsonText(const std::string &bytes);
std::string localPath(const QString &path);

// Parses args (the words after the group name, the command word first) with parser and checks that
// `positional` positional arguments (up to maxPositional, when given) follow the command word. Adds
// -h/--help, which throws HelpRequested with the command's usage line, summary, the parser's
// description (further details, when set) and its options.
QStringList parseCommand(QCommandLineParser &parser, const QStringList &args, const ToolCommand &command,
                         int positional, int maxPositional = -1);

void printJson(const QJsonValue &value);

class QImage;
namespace qm {
class TDirectDrawSurface;
}
// The image format an OUT name's ending chooses: "PNG" (.png), "PPM" (.ppm, binary P6) or "BMP" (.bmp),
// in any letter case. Any other ending is a usage error; commands ask before they start their work.
const char *imageFormat(const QString &path);
// Writes a surface's pixels as an image in the format imageFormat chooses.
void saveSurfaceImage(const qm::TDirectDrawSurface &surface, const QString &path);
void saveImage(const QImage &image, const QString &path);

// The bytes of a text option that the files keep in a field of at most 255 bytes, one byte a character
// (as lev info prints them back). A longer text, or a character no byte holds, is a usage error naming
// the option: nothing is cut or replaced silently.
std::string shortTextOption(const QString &text, const QString &option);

// "X,Y" as two whole numbers, or a usage error naming the option.
std::pair<int, int> parsePair(const QString &text, const QString &option);
// "X,Y" as two numbers that may have a fraction (a view offset).
std::pair<double, double> parseOffset(const QString &text, const QString &option);
