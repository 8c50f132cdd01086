#pragma once

#include "CliCommand.h"

#include <QList>

// The command-line interface: dispatches `keymoor <command> ...` to the registered commands.
class CommandLine
{
public:
    CommandLine();

    void addCommand(CliCommand command);
    const CliCommand* command(const QString& name) const;

    // `arguments` excludes the program name. Answers the exit status.
    int run(const QStringList& arguments, CliStreams& streams) const;

    // True when the arguments ask for the command-line interface rather than the window.
    static bool wantsCommandLine(const QStringList& arguments);
    // True when the command the arguments name needs a graphics application.
    bool needsGuiApplication(const QStringList& arguments) const;

private:
    void printHelp(QTextStream& out) const;

    QList<CliCommand> m_commands;
};
