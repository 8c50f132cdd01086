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
    // Every command, sorted by name.
    const QList<CliCommand>& commands() const { return m_commands; }

    // `arguments` excludes the program name. Answers the exit status.
    int run(const QStringList& arguments, CliStreams& streams) const;

    // True when the arguments ask for the command-line interface rather than the window: any
    // arguments except files to open.
    bool wantsCommandLine(const QStringList& arguments) const;
    // True when the arguments are files for the window to open (the desktop's "open with"): every
    // argument names an existing file or folder and the first is no command or option name.
    bool isFileOpenRequest(const QStringList& arguments) const;
    // True when the command the arguments name needs a graphics application.
    bool needsGuiApplication(const QStringList& arguments) const;

private:
    void printHelp(QTextStream& out) const;

    QList<CliCommand> m_commands;
};
