// qmtool sp play: recorded solutions replayed by the game's own rules.

#include "commands.h"
#include "toolsupport.h"

#include "game/recording.h"
#include "game/trace.h"

#include "platform/errors.h"
#include "platform/fileio.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonObject>

#include <QFileInfo>

#include <cstdio>
#include <limits>
#include <sstream>

namespace {

QJsonObject resultJson(const QString &file, const qm::game::ReplayResult &result)
{
    QJsonObject json{{"file", file}, {"finished", result.finished}, {"frames", result.frames}};
    if (!result.finished) {
        json["why"] = QString::fromStdString(result.summary());
        json["infotronsLeft"] = result.infotronsLeft;
        if (result.died) {
            json["diedAtFrame"] = result.diedAtFrame;
            json["diedAtColumn"] = result.diedAtColumn;
            json["diedAtRow"] = result.diedAtRow;
        }
    }
    return json;
}

} // namespace

int spPlay(const ToolCommand &command, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addOption({"json", "Prints the results as a JSON list."});
    parser.addOption({"trace", "Writes the field frame by frame (one FILE only).", "OUT"});
    parser.setApplicationDescription("Replays each file's recording. Exit status: 0 when every recording finished "
                                     "its level, 2 when one did not, 1 when a file cannot be read.");
    const QStringList files = parseCommand(parser, args, command, 1, std::numeric_limits<int>::max());
    if (parser.isSet("trace") && files.size() != 1)
        throw UsageError{"--trace writes the trace of one recording: give one FILE\nusage: " + usageLine(command)};

    int status = 0;
    QJsonArray results;
    for (const QString &file : files) {
        try {
            const qm::Bytes bytes = qm::readWholeFile(localPath(file), qm::game::kMaxRecordingFile);
            const qm::game::Recording recording = qm::game::readRecording(bytes.data(), bytes.size());
            if (!recording.hasInput)
                throw qm::Error("ERecording", "The file holds a level without a recorded solution");
            const qm::game::Level level = qm::game::levelFromRecord(recording.record.data());
            qm::game::ReplayResult result;
            if (parser.isSet("trace")) {
                std::ostringstream text;
                qm::game::TraceWriter trace(text, QFileInfo(file).fileName().toStdString());
                result = qm::game::replay(level, recording.input, &trace);
                const std::string out = text.str();
                qm::writeFileSafely(localPath(parser.value("trace")), out.data(), out.size());
            } else {
                result = qm::game::replay(level, recording.input);
            }
            if (!result.finished && status == 0)
                status = 2;
            if (parser.isSet("json"))
                results.append(resultJson(file, result));
            else
                std::printf("%s: %s\n", file.toUtf8().constData(), result.summary().c_str());
        } catch (const qm::Error &error) {
            std::fprintf(stderr, "%s: %s\n", file.toUtf8().constData(), error.what());
            status = 1;
            if (parser.isSet("json"))
                results.append(QJsonObject{{"file", file}, {"error", QString::fromUtf8(error.what())}});
        }
    }
    if (parser.isSet("json"))
        printJson(results);
    return status;
}
