#pragma once

#include "maintenance/MainContextProvider.h"

#include <QString>

class ExportOptions;
class MigrationReporter;

// The delimited export of the catalogue: the products of the "SummaryReport" template sorted by
// title, one line each with the fields and delimiter of the export options, read through a context
// of its own over the library's coordinator.
class DelimitedTextExport
{
public:
    DelimitedTextExport(ExportOptions& options, MigrationReporter& reporter, MainContextProvider mainContext);
    DelimitedTextExport(const DelimitedTextExport&) = delete;
    DelimitedTextExport& operator=(const DelimitedTextExport&) = delete;

    // Writes into the path made unique (a file of that name is never replaced). Answers the path
    // written, or empty after a log line. The field choice is remembered after a good export.
    QString exportToPath(const QString& path);

private:
    ExportOptions& m_options;
    MigrationReporter& m_reporter;
    MainContextProvider m_mainContext;
};
