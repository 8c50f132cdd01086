#pragma once

#include <QString>

// One option of a command, written `--name` (or `-s` when it has a short name). An option with a
// value name takes a value, written `--name VALUE` or `--name=VALUE`.
struct CliOption
{
    QString name;
    QString shortName; // one letter, or empty
    QString valueName; // empty: the option is a flag
    QString help;
    bool required = false; // shown without brackets in the usage line; the command checks it

    static CliOption flag(const QString& name, const QString& help) { return {name, {}, {}, help}; }
    static CliOption value(const QString& name, const QString& valueName, const QString& help)
    {
        return {name, {}, valueName, help};
    }
    static CliOption requiredValue(const QString& name, const QString& valueName, const QString& help)
    {
        return {name, {}, valueName, help, true};
    }
};
