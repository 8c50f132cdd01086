#pragma once

#include <QString>

#include <functional>

// The application's diagnostic log: every log line of the application goes through Log::write.
// Lines go to standard error (unless turned off, as the command-line interface does) and are
// appended to "Keymoor.log" in the application's state folder (rotated at 5 MB, two older files
// kept). Safe to call from any thread.
namespace Log {

void write(const QString& line);

// Whether lines are echoed on standard error (default: true).
void setEchoToStandardError(bool echo);

// The file lines are appended to; empty turns file logging off. Default: <state folder>/Keymoor.log,
// resolved on first use, when a log left in the cache folder by earlier versions is moved there.
void setLogFilePath(const QString& path);
QString logFilePath();
// Back to the default file, resolved anew from the environment on the next line: for a process
// whose folders changed since (tests that give each case folders of its own).
void useDefaultLogFile();

// Tests install a sink to see the lines; a null function removes it.
using Sink = std::function<void(const QString& line)>;
void setSink(Sink sink);

} // namespace Log
