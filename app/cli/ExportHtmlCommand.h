#pragma once

#include <QStringList>

class CommandOptions;
struct CliStreams;

// "export html": the catalogue as one self-contained page for a phone, optionally sealed under a
// passphrase; a form of "export", which calls in here.
CommandOptions exportHtmlOptions();
int exportHtmlCommand(const QStringList& words, CliStreams& streams);
