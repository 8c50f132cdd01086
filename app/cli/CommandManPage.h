#pragma once

#include <QString>

class CommandLine;

// The manual page keymoor(1), in roff, from the same command tables as `keymoor --help`: the
// synopsis, the general options, then each command with its usage lines, description, arguments and
// options. Written at build time by `keymoor --help-man`, so the page never drifts from the program.
class CommandManPage
{
public:
    static QString text(const CommandLine& commandLine, const QString& version);

    // The text as roff prints it literally: backslashes and dashes escaped, and a line that would
    // start with a control character guarded.
    static QString escaped(const QString& text);

private:
    static void writeCommands(QString& page, const CommandLine& commandLine);
    static void writeParagraphs(QString& page, const QString& text);
    static void writeRow(QString& page, const QString& names, const QString& help);
};
