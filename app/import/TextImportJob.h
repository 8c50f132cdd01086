#pragma once

#include "ImportCounts.h"
#include "ZRDelimitedTextParsing.h"
#include "base/UserInterface.h"
#include "desktop/ApplicationLocator.h"

#include <QStringList>

#include <atomic>
#include <memory>

class LibrarySession;
struct DelimitedTextOptions;

namespace Persistence {
class ObjectContext;
class StoreCoordinator;
} // namespace Persistence

// How a text import ended.
struct TextImportJobResult
{
    enum class Status { Imported, Cancelled, Failed };
    Status status = Status::Failed;
    ImportCounts counts; // what the saved import added and updated
    PresentableError error; // why it failed, in words for the person
};

// One table import of delimited text, run on whichever thread calls it: each row becomes a product
// or updates the first product whose title matches (with `updateExisting`), in a private context
// over the library's coordinator that is saved once at the end through the session's saver; the
// main context takes in what was saved (on its own thread). Until that save nothing reaches the
// store, so a run that fails or is cancelled leaves the catalogue as it was. cancel() may be
// called from any thread; the run stops before its next row.
class TextImportJob
{
public:
    using Status = TextImportJobResult::Status;
    using Result = TextImportJobResult;

    // Made on the main context's thread; `mapping` names the key path of each column and must hold
    // "title" (checked by the caller).
    TextImportJob(LibrarySession& session, Persistence::ObjectContext* mainContext, ApplicationLocator locator,
                  QStringList mapping, bool updateExisting);
    TextImportJob(const TextImportJob&) = delete;
    TextImportJob& operator=(const TextImportJob&) = delete;

    // Reads the UTF-8 text file (line breaks normalised), cuts it into rows, drops the header row
    // when there is one, and imports the rows.
    Result importFile(const QString& path, const DelimitedTextOptions& options);
    Result importRows(const DelimitedRows& rows);

    void cancel() { m_cancelled = true; }
    bool isCancelled() const { return m_cancelled; }

private:
    Result failure(const QString& description, const QString& recoverySuggestion, const QString& details) const;

    LibrarySession& m_session;
    Persistence::ObjectContext* m_mainContext;
    std::shared_ptr<Persistence::StoreCoordinator> m_coordinator;
    ApplicationLocator m_locator;
    QStringList m_mapping;
    bool m_updateExisting;
    std::atomic<bool> m_cancelled = false;
};
