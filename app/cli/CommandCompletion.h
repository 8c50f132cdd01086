#pragma once

#include <QString>
#include <QStringList>

class CommandLine;
class CommandOptions;

// The bash completion of keymoor, from the same command tables as `keymoor --help`: command names
// in the first place; then the words of a command's forms (`import csv`) and its options; after an
// option that takes a value, and for positional arguments, file names. Written at build time by
// `keymoor --help-completion`.
class CommandCompletion
{
public:
    static QString bashScript(const CommandLine& commandLine);

private:
    // "--json --since" for the options of the forms, and the options that take a value.
    static QStringList optionWords(const QList<CommandOptions>& forms, bool valuesOnly);
    // "csv library" for forms named "import csv", "import library".
    static QStringList formWords(const QList<CommandOptions>& forms);
    static QString words(const QStringList& list);
};
