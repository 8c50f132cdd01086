#pragma once

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
    QString name;
    QString summary; // one line for `keymoor --help`
    QString usage; // the full text for `keymoor <name> --help`
    std::function<int(const QStringList& arguments, CliStreams& streams)> run;
    // The command lays out text or images for printing, which needs a graphics application (on
    // the offscreen platform: no display is used).
    bool needsGuiApplication = false;
};
