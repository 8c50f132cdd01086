#pragma once

#include <QString>

// One positional argument of a command. `syntax` is how the usage line writes it: `FILE` (one),
// `[FOLDER]` (optional), `FILE...` (one or more), `[FIELD=VALUE]...` (any number). The command
// checks how many it was given, since some say why in words of their own.
struct CliPositional
{
    QString syntax;
    QString help;
};
