#pragma once

#include "CliOption.h"
#include "CliPositional.h"
#include "CommandArguments.h"

#include <QList>
#include <QPair>
#include <QString>

#include <optional>

class QCommandLineParser;
class QTextStream;

// The table of one way of calling a command: its options and positional arguments. Parses the
// command's arguments and gives the usage line and help rows, so what a command accepts and what
// its help says come from one declaration.
//
// Options may come anywhere among the positional arguments; `--` ends the options. A word with a
// single dash is read as a long option (`-json` is `--json`), never as a bundle of letters.
class CommandOptions
{
public:
    // `command` is what follows "keymoor" in the usage line: "list", "import csv".
    CommandOptions(QString command, QList<CliOption> options = {}, QList<CliPositional> positionals = {});

    const QString& command() const { return m_command; }
    const QList<CliOption>& options() const { return m_options; }
    const QList<CliPositional>& positionals() const { return m_positionals; }

    // "keymoor show TITLE|UUID [--json]"; a long line is wrapped, its later lines indented to follow
    // the "Usage: " of the first.
    QString usageLine() const;
    // "Usage: " with the usage line of each form under one another.
    static QString usage(const QList<CommandOptions>& forms);
    // Each positional argument, then each option, beside its help text.
    QList<QPair<QString, QString>> helpRows() const;

    // Parses the arguments that follow the command words. After an unknown option, a missing value
    // or a value given to a flag, writes why and the usage line to `err` and answers nothing (the
    // command then ends with status 2).
    std::optional<CommandArguments> parse(const QStringList& arguments, QTextStream& err) const;

private:
    QString parseError(const QCommandLineParser& parser, const QStringList& arguments) const;
    const CliOption* option(const QString& nameOrShortName) const;

    QString m_command;
    QList<CliOption> m_options;
    QList<CliPositional> m_positionals;
};
