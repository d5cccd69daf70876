// qmtool: works on the editor's files from the command line. The commands are the rows of the group
// tables (commands.h); this file finds the row for the words given, and makes the help and the manual
// page from all of them.

#include "commands.h"
#include "toolsupport.h"

#include "commands/filenames.h"
#include "editor/recovery.h"
#include "platform/errors.h"
#include "platform/fileio.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <set>

namespace {

const ToolGroup *const kGroups[] = {&levGroup, &cfgGroup, &dxgGroup, &spGroup};

const char *const kDescription = "Works on the files of the Quillmoss levels editor with the editor's own code.";
const char *const kErrors = "Errors are printed as the editor's error box shows them; the exit status is then 1.";

void print(const QString &text, FILE *stream) { std::fputs(text.toLocal8Bit().constData(), stream); }

const ToolGroup *findGroup(const QString &name)
{
    for (const ToolGroup *group : kGroups)
        if (name == group->name)
            return group;
    return nullptr;
}

// The command list of one group, or of all.
QString commandList(const ToolGroup *only = nullptr)
{
    QString text;
    for (const ToolGroup *group : kGroups) {
        if (only && only != group)
            continue;
        for (const ToolCommand &command : group->commands)
            text += "  " + usageLine(command) + "\n      " + command.summary + "\n";
    }
    return text;
}

QString overview()
{
    return QString("usage: qmtool GROUP COMMAND ARGUMENTS... [OPTIONS]\n") + kDescription + "\n\nCommands:\n"
           + commandList()
           + "\nOptions:\n"
             "  -h, --help     Shows this help; after a command, that command's help.\n"
             "  -v, --version  Shows the version.\n\n"
           + kErrors + "\n";
}

QString briefUsage()
{
    QString groups;
    for (const ToolGroup *group : kGroups)
        groups += QString(groups.isEmpty() ? "" : "|") + group->name;
    return "usage: qmtool " + groups + " COMMAND ...   (qmtool --help lists the commands)\n";
}

// A command's help as its own --help prints it.
QString commandHelp(const ToolCommand &command)
{
    try {
        command.run(command, {command.name, "--help"});
    } catch (const HelpRequested &help) {
        return help.text;
    }
    return QString();
}

// Roff text: backslashes and minus signs escaped, no line taken for a request.
QString roff(QString text)
{
    text.replace('\\', "\\e").replace('-', "\\-");
    QStringList lines = text.split('\n');
    for (QString &line : lines)
        if (line.startsWith('.') || line.startsWith('\''))
            line.prepend("\\&");
    return lines.join('\n');
}

// The manual page, made from the same rows and the same per-command help as --help.
QString manualPage()
{
    QString page = ".TH QMTOOL 1 \"\" \"qmtool " + QCoreApplication::applicationVersion()
                   + "\" \"User Commands\"\n"
                     ".SH NAME\nqmtool \\- works on the files of the Quillmoss levels editor\n"
                     ".SH SYNOPSIS\n.B qmtool\n.I GROUP COMMAND ARGUMENTS...\n[\\fIOPTIONS\\fR]\n.br\n"
                     ".B qmtool\n\\-\\-help | \\-\\-version\n"
                     ".SH DESCRIPTION\n"
                   + roff(kDescription)
                   + "\nEach command takes \\fB\\-\\-help\\fR, which prints the text of its entry below.\n"
                     ".SH COMMANDS\n";
    for (const ToolGroup *group : kGroups) {
        page += ".SS " + roff(group->name) + ": " + roff(group->summary) + "\n";
        for (const ToolCommand &command : group->commands) {
            QString help = commandHelp(command);
            help = help.mid(help.indexOf('\n') + 1).trimmed(); // the usage line is the entry's title
            page += ".TP\n.B " + roff(usageLine(command)) + "\n.nf\n" + roff(help) + "\n.fi\n";
        }
    }
    page += ".SH EXIT STATUS\n" + roff(kErrors) + "\n";
    return page;
}

int runTool(const QStringList &arguments)
{
    QCommandLineParser parser;
    // Everything after the group word belongs to the command and its own parser.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help({"h", "help"}, "Shows this help.");
    const QCommandLineOption version({"v", "version"}, "Shows the version.");
    QCommandLineOption manual("manual-page", "Prints the manual page (roff).");
    manual.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({help, version, manual});
    if (!parser.parse(arguments)) {
        print(parser.errorText() + "\n" + briefUsage(), stderr);
        return 1;
    }
    if (parser.isSet(help)) {
        print(overview(), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        print("qmtool " + QCoreApplication::applicationVersion() + "\n", stdout);
        return 0;
    }
    if (parser.isSet(manual)) {
        print(manualPage(), stdout);
        return 0;
    }
    QStringList words = parser.positionalArguments();
    const ToolGroup *group = findGroup(words.value(0));
    if (group && words.size() == 2 && (words[1] == "--help" || words[1] == "-h")) {
        print(QString("usage: qmtool %1 COMMAND ...\n\nCommands:\n").arg(group->name) + commandList(group), stdout);
        return 0;
    }
    if (!group || words.size() < 2) {
        print(briefUsage(), stderr);
        return 1;
    }
    words.removeFirst();
    for (const ToolCommand &command : group->commands) {
        if (words[0] != command.name)
            continue;
        if (group->prepare)
            group->prepare();
        return command.run(command, words);
    }
    print(QString("unknown command: %1 %2\n").arg(group->name, words[0]) + briefUsage(), stderr);
    return 1;
}

// What saves killed in the middle left in the working directory and beside the files named goes at
// start, not only with the next save there.
void removeDeadTemporariesBeside(int argc, char **argv)
{
    std::set<std::string> directories = {"."};
    for (int i = 1; i < argc; ++i) {
        std::error_code unknown;
        const std::filesystem::path named(argv[i]);
        if (std::filesystem::exists(named, unknown))
            directories.insert(named.has_parent_path() ? named.parent_path().string() : ".");
    }
    for (const std::string &directory : directories)
        qm::removeDeadSaveTemporaries(directory);
}

} // namespace

int main(int argc, char **argv)
{
    // No window is ever shown: image files go through QImage, which needs no display.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2").arg(QM_VERSION_MAJOR).arg(QM_VERSION_MINOR));
    qm::keepPreviousBytesIn(); // a save in place keeps the bytes it replaces where the editor offers them
    try {
        // File names are taken as the bytes they are, whatever their encoding.
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << qm::fileNameFromBytes(argv[i]);
        removeDeadTemporariesBeside(argc, argv);
        return runTool(arguments);
    } catch (const HelpRequested &help) {
        print(help.text, stdout);
        return 0;
    } catch (const UsageError &e) {
        std::fprintf(stderr, "%s\n", e.message.toLocal8Bit().constData());
    } catch (const qm::Error &e) {
        std::fprintf(stderr, "%s\n", e.what());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    return 1;
}
