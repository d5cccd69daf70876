#pragma once
// Small helpers shared by the command groups of qmtool.

#include <QCommandLineParser>
#include <QJsonValue>
#include <QString>
#include <string>

// A usage error: printed with the command's synopsis, exit status 1.
struct UsageError {
    QString message;
};

// Texts of the files are 8-bit: byte b becomes character U+00bb, so JSON output is valid UTF-8 and
// loses nothing.
QJsonValue jsonText(const std::string &bytes);
std::string localPath(const QString &path);

// Parses args (the words after the group name, the command word first) with parser and checks that
// exactly `positional` positional arguments follow the command word.
QStringList parseCommand(QCommandLineParser &parser, const QStringList &args, int positional,
                         const QString &synopsis);

void printJson(const QJsonValue &value);

class QImage;
namespace qm {
class TDirectDrawSurface;
}
// Writes a surface's pixels as an image: .png, or .ppm (binary P6), chosen by the name's ending.
void saveSurfaceImage(const qm::TDirectDrawSurface &surface, const QString &path);
void saveImage(const QImage &image, const QString &path);

// "X,Y" as two whole numbers, or a usage error naming the option.
std::pair<int, int> parsePair(const QString &text, const QString &option);
// "X,Y" as two numbers that may have a fraction (a view offset).
std::pair<double, double> parseOffset(const QString &text, const QString &option);
