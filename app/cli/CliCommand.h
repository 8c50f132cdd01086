#pragma once

#include "CommandOptions.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QTextStream;

// The streams a command writes to; tests hand in string-backed streams.
struct CliStreams
{
    QTextStream& out;
    QTextStream& err;
};

// One command of the command-line interface: `keymoor <name> [arguments]`.
// `run` answers the process exit status: 0 on success, non-zero after writing an error to `err`.
struct CliCommand
{
    using Run = std::function<int(const QStringList& arguments, CliStreams& streams)>;
    using ParsedRun = std::function<int(const CommandArguments& arguments, CliStreams& streams)>;

    QString name;
    QString summary; // one line for `keymoor --help`
    QString description; // the paragraph of `keymoor <name> --help`
    // The ways of calling the command (one, or one per sub-command such as `import csv`); the usage
    // lines and `keymoor <name> --help` are generated from them.
    QList<CommandOptions> forms;
    Run run;
    // The command lays out text or images for printing, which needs a graphics application (on
    // the offscreen platform: no display is used).
    bool needsGuiApplication = false;

    // A command called one way, named by `options`: its arguments are parsed against the table
    // before `run` sees them, and a parse error ends it with status 2.
    static CliCommand withOptions(const QString& summary, const QString& description, const CommandOptions& options,
                                  ParsedRun run);

    // The text of `keymoor <name> --help`.
    QString help() const;
};
