#include "toolsupport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

QJsonValue jsonText(const std::string &bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string localPath(const QString &path) { return QFile::encodeName(path).toStdString(); }

QStringList parseCommand(QCommandLineParser &parser, const QStringList &args, int positional,
                         const QString &synopsis)
{
    QStringList argv = args;
    argv.prepend(QStringLiteral("qmtool"));
    if (!parser.parse(argv))
        throw UsageError{parser.errorText() + "\nusage: qmtool " + synopsis};
    QStringList words = parser.positionalArguments();
    words.removeFirst(); // the command word
    if (words.size() != positional)
        throw UsageError{"usage: qmtool " + synopsis};
    return words;
}

void printJson(const QJsonValue &value)
{
    QJsonDocument doc = value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    QByteArray text = doc.toJson(QJsonDocument::Indented);
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
}
