#pragma once

#include "cli/CommandLine.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <gtest/gtest.h>

// Runs command-line commands in the test process and keeps what they printed.
struct CliResult
{
    int status = 0;
    QString out;
    QString err;
};

inline CliResult runCommandLine(const CommandLine& commandLine, const QStringList& arguments)
{
    CliResult result;
    QTextStream out(&result.out);
    QTextStream err(&result.err);
    CliStreams streams {out, err};
    result.status = commandLine.run(arguments, streams);
    out.flush();
    err.flush();
    return result;
}

// The JSON form of one product, as `keymoor show TITLE --json` prints it.
inline QJsonObject showProductJson(const CommandLine& commandLine, const QString& title)
{
    const CliResult result = runCommandLine(commandLine, {QStringLiteral("show"), title, QStringLiteral("--json")});
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    return QJsonDocument::fromJson(result.out.toUtf8()).object();
}
