#pragma once

#include "core/KeymoorAppDelegate.h"
#include "persistence/FetchRequest.h"

#include <QStringList>

#include <memory>

class ProductEntity;
class TerminalUserInterface;
struct CliStreams;

// What one command-line command works with: the controller over the person's library, with a
// terminal for its alerts and errors. Commands that change the catalogue open it for writing (which
// takes the library lock and refuses while a Keymoor window holds it) and save at the end.
class CliSession
{
public:
    CliSession(CliStreams& streams, KeymoorAppDelegate::OpenMode mode);
    ~CliSession();

    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    // Opens the library (and seeds the default data when writing). False after telling why.
    bool open();

    KeymoorAppDelegate& delegate() { return *m_delegate; }
    TerminalUserInterface& terminal() { return *m_terminal; }

    // Products (those matching `filter`) in the preferred order, with what `prefetch` names loaded
    // for all of them at once; from `context` when given (another context over the library's
    // coordinator), else from the library's context.
    QList<ProductEntity*> products(const Persistence::Predicate& filter = {}, const QStringList& prefetch = {},
                                   Persistence::ObjectContext* context = nullptr);
    // The request for those products in the preferred order (nothing prefetched).
    Persistence::FetchRequest productRequest(const Persistence::Predicate& filter = {}) const;
    // The product named by its UUID or its title (exact, else ignoring case). Null after an error
    // when there is none or the title is ambiguous. Only the candidates are loaded.
    ProductEntity* findProduct(const QString& uuidOrTitle);

    // Saves; false after an error message.
    bool save();

    // Ends the session as the window's quit does (the housekeeping included).
    void finish();

private:
    CliStreams& m_streams;
    std::unique_ptr<TerminalUserInterface> m_terminal;
    std::unique_ptr<KeymoorAppDelegate> m_delegate;
};
