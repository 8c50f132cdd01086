#pragma once

#include "CommandOptions.h"

#include <QStringList>

class QTextStream;
struct CliStreams;
struct ImportCounts;

// `keymoor import csv FILE --map KEY,...`: delimited text, one product per row.
CommandOptions importCsvOptions();
// `words` are the arguments after "import csv". Answers the exit status.
int importCsv(const QStringList& words, CliStreams& streams);

// "Added N product(s), updated M product(s).", the closing line of every import but library's.
void printImportCounts(QTextStream& out, const ImportCounts& counts);
