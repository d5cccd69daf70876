#pragma once
// qmtool run as a user runs it: a real process, its output and its exit status.

#include <QByteArray>
#include <QProcess>
#include <QStringList>

namespace qmtest {

struct ToolRun {
    int status;
    QByteArray out;
    QByteArray err;
};

inline ToolRun qmtool(const QStringList &args)
{
    QProcess process;
    process.start(QMTOOL_PATH, args);
    process.waitForFinished(60000);
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

} // namespace qmtest
