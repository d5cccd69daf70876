#pragma once
// The command groups of qmtool. Each takes the words after its group name ("info FILE ...") and
// returns the exit status; failures of the program's own code arrive as qm::Error and are printed by
// main as the editor's error box would show them.

#include <QStringList>
#include <string>

int runLevCommand(const QStringList &args);
int runCfgCommand(const QStringList &args);
int runDxgCommand(const QStringList &args);
int runSpCommand(const QStringList &args);

// Shared by the lev commands: reads a levels file into the store (an unreadable file arrives as
// qm::Error), and --gamedir, by default the directory of qmtool, ending in '/'.
class QCommandLineParser;
void readInto(const QString &path);
std::string gamedirOption(const QCommandLineParser &parser);
int levSheet(const QStringList &args);
