#pragma once

#include "email/MailStoreMessage.h"
#include "email/MailStoreReader.h"
#include "persistence/ObjectID.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <optional>

class LibrarySession;

// A product the mail suggests: what the registration scanner and the title guess found in one
// purchase message (the newest message of those with the same serial number).
struct LicenceProposal
{
    QString title;
    QString publisher;
    QString serial;
    QString email; // the registered address; empty when unknown
    QDateTime date; // the message's date; invalid when unknown
    QString subject;
    QString from;
    QString messageId;
    MailMessagePlace place;
    QList<MailMessagePlace> duplicates; // older messages with the same serial
    bool inCatalogue = false;
};

// Finds licences in mail stores and adds the chosen ones as products with their message attached.
class MailLicenceFinder
{
    Q_DISABLE_COPY_MOVE(MailLicenceFinder)

public:
    struct ScanOptions
    {
        QDateTime since; // messages dated before are skipped; invalid: all
        MailStoreReader::Options store;
        // Called now and then with the number of messages read; answers false to cancel.
        std::function<bool(qint64 messagesRead)> progress;
    };

    struct ScanResult
    {
        QList<LicenceProposal> proposals; // by date, newest first; duplicates collapsed
        qint64 messages = 0;
        qint64 unreadable = 0;
        bool cancelled = false;
        QStringList errors; // paths that could not be read, with the reason
    };

    explicit MailLicenceFinder(LibrarySession& session);

    // Reads the stores and proposes licences. Touches no library object (may run on a worker).
    static ScanResult scan(const QStringList& paths, const ScanOptions& options);

    // Marks the proposals whose serial is on a product already, or whose title matches a
    // product's ignoring case with the same serial (main context).
    void markInCatalogue(QList<LicenceProposal>& proposals) const;

    // Adds the proposals as products, each with its message attached as an e-mail, in one saved
    // change; skips those whose serial a product already has. Answers the new products in order,
    // or nullopt with an error text when nothing could be saved.
    std::optional<QList<Persistence::ObjectID>> addProposals(const QList<LicenceProposal>& proposals, QString* error);

private:
    LibrarySession& m_session;
};
