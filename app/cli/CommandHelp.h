#pragma once

#include "CommandOptions.h"

#include <QList>
#include <QString>

// Lays out `keymoor <command> --help` from the command's tables: the usage lines, the description,
// then the arguments and options of each form beside their help, wrapped to a usual terminal width.
class CommandHelp
{
public:
    static QString text(const QString& description, const QList<CommandOptions>& forms);

private:
    using Rows = QList<QPair<QString, QString>>;
    static void writeSection(QString& text, const QString& title, const Rows& rows, qsizetype column);
    static QStringList wrapped(const QString& text, qsizetype width);
};
