#pragma once

#include "ApplicationLocatorSource.h"
#include "ImportCounts.h"
#include "ZRDelimitedTextParsing.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class ImportTally;
class LibrarySession;
class TextImportJob;
struct DelimitedTextOptions;
struct TextImportJobResult;

namespace Persistence {
class ObjectContext;
}

// The imports of delimited text: a table of rows (from a file or the import sheet) or lines cut at
// a delimiter, each becoming a product or updating the product of the same title. What they add
// and update goes to the tally; the window re-fetches its list through the session's signal.
class TextImportService
{
public:
    // The background jobs of startTextFileImport().
    static inline const QString ImportJob = QStringLiteral("TextImport");

    TextImportService(LibrarySession& session, ImportTally& tally, ApplicationLocatorSource locators);
    TextImportService(const TextImportService&) = delete;
    TextImportService& operator=(const TextImportService&) = delete;

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

    // importTextFile() as a background job of the session's tracker, so the window keeps painting:
    // the file is read and imported on the job's thread into a private context saved once at the
    // end. The progress sheet shows from the start until the last running import ends. When it
    // ends, the window re-fetches its list; a failure is shown and keeps nothing. Answers false
    // (after saying why) when no import was started: no library, or no column mapped to the title.
    bool startTextFileImport(const QString& path, const DelimitedTextOptions& options, const QStringList& mapping,
                             bool updateExisting);
    // Stops every running text import before its save: nothing of them is kept.
    void cancelTextImports();
    int runningTextImports() const;
    void waitForTextImports();

private:
    void presentError(const QString& description, const QString& recoverySuggestion, const QString& details) const;
    bool hasTitleColumn(const QStringList& mapping) const;
    std::optional<ImportCounts> takeResult(const TextImportJobResult& result);
    void textImportDidFinish(const std::shared_ptr<TextImportJob>& job, const TextImportJobResult& result);

    LibrarySession& m_session;
    ImportTally& m_tally;
    ApplicationLocatorSource m_locators;
    QList<std::shared_ptr<TextImportJob>> m_running;
};
