#pragma once

#include "ApplicationLocatorSource.h"
#include "ImportCounts.h"
#include "ZRDelimitedTextParsing.h"

#include <QString>
#include <QStringList>

#include <optional>

class ImportTally;
class LibrarySession;
struct DelimitedTextOptions;

namespace Persistence {
class ObjectContext;
}

// The imports of delimited text: a table of rows (from a file or the import sheet) or lines cut at
// a delimiter, each becoming a product or updating the product of the same title. What they add
// and update goes to the tally; the window re-fetches its list through the session's signal.
class TextImportService
{
public:
    TextImportService(LibrarySession& session, ImportTally& tally, ApplicationLocatorSource locators);

    // The table import: each row becomes a product, or with `updateExisting` updates the first
    // product whose title matches the row's title as a case-insensitive pattern. `mapping` names the
    // key path of each column ("Don't Import" for ignored ones) and must hold "title". Works in a
    // private context saved once at the end, under the progress sheet; on success the window
    // re-fetches its list. Nothing (after a log line and an error shown) when the mapping has no
    // title or the save fails; then the catalogue is unchanged.
    std::optional<ImportCounts> importProductsArray(const DelimitedRows& rows, const QStringList& mapping,
                                                    bool updateExisting);
    // The line import of each line in the given context (see importProductWithString), under the
    // progress sheet, then a save of the main catalogue. Answers what was added and updated.
    ImportCounts importProductStrings(const QStringList& lines, const QString& fieldDelimiter, const QString& quote,
                                      const QStringList& mapping, bool updateExisting,
                                      Persistence::ObjectContext* context);
    // Reads a UTF-8 text file (line breaks normalised), cuts it into rows, drops the first row when
    // it is a header, and runs the table import. A file that cannot be read or is no UTF-8 text is
    // reported and changes nothing.
    std::optional<ImportCounts> importTextFile(const QString& path, const DelimitedTextOptions& options,
                                               const QStringList& mapping, bool updateExisting);

private:
    void presentError(const QString& description, const QString& recoverySuggestion, const QString& details) const;

    LibrarySession& m_session;
    ImportTally& m_tally;
    ApplicationLocatorSource m_locators;
};
