#pragma once
// The commands of qmtool. Each command is one row of its group's table, next to the function that runs
// it: its words, its arguments and what it does. `qmtool --help`, `qmtool GROUP COMMAND --help` and
// the manual page are all made from these rows (with the options each command gives its parser), so a
// new command adds its row and nothing else.

#include <QStringList>
#include <string>
#include <vector>

struct ToolCommand {
    const char *group;     // "lev"
    const char *name;      // "info"
    const char *arguments; // "FILE [--cells]"
    const char *summary;   // what it does, one line
    // args: the command word and the words after it. Failures of the program's own code arrive as
    // qm::Error and are printed by main as the editor's error box would show them.
    int (*run)(const ToolCommand &command, const QStringList &args);
};

struct ToolGroup {
    const char *name;    // "lev"
    const char *summary; // "levels files"
    void (*prepare)();   // before any of its commands runs (may be null)
    std::vector<ToolCommand> commands;
};

extern const ToolGroup levGroup;
extern const ToolGroup cfgGroup;
extern const ToolGroup dxgGroup;
extern const ToolGroup spGroup;

// Shared by the lev commands: reads a levels file into the store (an unreadable file arrives as
// qm::Error), and --gamedir, by default the directory of qmtool, ending in '/'.
class QCommandLineParser;
void readInto(const QString &path);
std::string gamedirOption(const QCommandLineParser &parser);
int levSheet(const ToolCommand &command, const QStringList &args);
int spPlay(const ToolCommand &command, const QStringList &args);
