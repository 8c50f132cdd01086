#pragma once

#include <QStringList>

class CommandLine;
class CommandOptions;
struct CliStreams;

// "due" (licences that expire or renew soon, or have expired) and "remind" (desktop notifications
// of them); "export ics" (their calendar) is a form of "export", which calls in here.
void registerLicenceCommands(CommandLine& commandLine);

CommandOptions exportIcsOptions();
int exportIcsCommand(const QStringList& words, CliStreams& streams);
