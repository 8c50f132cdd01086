#pragma once

#include "DesktopApplication.h"

#include <QString>
#include <QStringList>

#include <optional>

// Starting the program of a desktop entry as the Desktop Entry rules for "Exec" say: the value
// is split into arguments by its quoting (never handed to a shell), field codes are filled ("%f",
// "%F", "%u", "%U" with the files given; "%i", "%c", "%k" with the icon, name and file; "%%" as
// "%") or removed (deprecated ones), and the program is looked up on PATH.
namespace DesktopApplicationLaunch {

// The program and its arguments, program first; nullopt with an error text when the value is
// malformed (unterminated quote, a reserved character outside quotes, a field code inside quotes
// where not allowed) or names no program.
std::optional<QStringList> commandLine(const DesktopApplication& application, const QStringList& files, QString* error);

// Starts the application detached, in its "Path" folder when it names one. False with an error
// text (for the person: what failed and why) when the entry cannot be launched.
bool launch(const DesktopApplication& application, const QStringList& files, QString* error);

} // namespace DesktopApplicationLaunch
