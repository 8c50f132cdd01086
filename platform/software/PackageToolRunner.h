#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Runs a package manager's command-line tool found on PATH, without a shell, and answers what it
// printed on standard output. Standard error is dropped; the tools run in the C locale (with UTF-8)
// so their output has the same shape everywhere.
namespace PackageToolRunner {

inline constexpr int DefaultTimeoutMs = 30000;
// More output than this stops the tool: no real answer comes close.
inline constexpr qint64 MaximumOutput = 64 * 1024 * 1024;

// Whether the program is found on PATH.
bool isAvailable(const QString& program);

// The standard output of a run that ended by itself, whatever its exit code (dpkg-query exits 1
// when some of the packages asked about are unknown and still prints the others). nullopt with an
// error text when the program is missing, cannot start, crashes, times out or prints too much.
std::optional<QByteArray> run(const QString& program, const QStringList& arguments, QString* error,
                              int timeoutMs = DefaultTimeoutMs);

} // namespace PackageToolRunner
