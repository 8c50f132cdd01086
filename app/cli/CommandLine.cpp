#include "CommandLine.h"

#include "base/AppInfo.h"

#include <QFileInfo>
#include <QTextStream>

#include <algorithm>

CommandLine::CommandLine() = default;

void CommandLine::addCommand(CliCommand command)
{
    m_commands.append(std::move(command));
    std::sort(m_commands.begin(), m_commands.end(),
              [](const CliCommand& a, const CliCommand& b) { return a.name < b.name; });
}

const CliCommand* CommandLine::command(const QString& name) const
{
    for (const CliCommand& command : m_commands) {
        if (command.name == name) {
            return &command;
        }
    }
    return nullptr;
}

bool CommandLine::wantsCommandLine(const QStringList& arguments) const
{
    return !arguments.isEmpty() && !isFileOpenRequest(arguments);
}

bool CommandLine::isFileOpenRequest(const QStringList& arguments) const
{
    if (arguments.isEmpty()) {
        return false;
    }
    const QString& first = arguments.first();
    const bool builtIn = first == QLatin1String("help") || first.startsWith(QLatin1Char('-'));
    if (builtIn || command(first)) {
        return false;
    }
    return std::all_of(arguments.cbegin(), arguments.cend(),
                       [](const QString& argument) { return !argument.isEmpty() && QFileInfo::exists(argument); });
}

bool CommandLine::needsGuiApplication(const QStringList& arguments) const
{
    const CliCommand* found = arguments.isEmpty() ? nullptr : command(arguments.first());
    return found && found->needsGuiApplication;
}

int CommandLine::run(const QStringList& arguments, CliStreams& streams) const
{
    if (arguments.isEmpty() || arguments.first() == QLatin1String("--help") || arguments.first() == QLatin1String("-h")
        || arguments.first() == QLatin1String("help")) {
        if (arguments.size() > 1 && arguments.first() == QLatin1String("help")) {
            return run({arguments.at(1), QStringLiteral("--help")}, streams);
        }
        printHelp(streams.out);
        return 0;
    }
    if (arguments.first() == QLatin1String("--version") || arguments.first() == QLatin1String("-v")) {
        streams.out << AppInfo::executableName() << ' ' << AppInfo::prettyAppVersion() << Qt::endl;
        return 0;
    }
    const CliCommand* found = command(arguments.first());
    if (!found) {
        streams.err << "keymoor: unknown command \"" << arguments.first() << "\". Run \"keymoor --help\" for a list."
                    << Qt::endl;
        return 2;
    }
    const QStringList rest = arguments.mid(1);
    if (rest.contains(QLatin1String("--help")) || rest.contains(QLatin1String("-h"))) {
        streams.out << found->help() << Qt::endl;
        return 0;
    }
    return found->run(rest, streams);
}

void CommandLine::printHelp(QTextStream& out) const
{
    out << "Usage: keymoor [command] [arguments]\n\n"
           "Without a command, keymoor opens its window.\n\n"
           "Options:\n"
           "  --help, -h        show this help\n"
           "  --version, -v     print the version\n";
    if (!m_commands.isEmpty()) {
        out << "\nCommands:\n";
        for (const CliCommand& command : m_commands) {
            out << "  " << command.name.leftJustified(16) << "  " << command.summary << '\n';
        }
        out << "\nRun \"keymoor <command> --help\" for the arguments of one command.\n";
    }
    out.flush();
}
