#include "MailLicenceFinder.h"

#include "MailLicenceProducts.h"
#include "email/LicenceTitleGuess.h"
#include "email/MailMessageDecoding.h"
#include "email/ZREmail.h"
#include "email/ZREmailParser.h"
#include "email/ZRRegistrationInfoScanner.h"

#include <QHash>

#include <algorithm>

namespace {

// How many messages are read between two progress reports.
constexpr qint64 ProgressInterval = 100;

std::optional<LicenceProposal> proposalFor(const MailStoreMessage& message, const QDateTime& since, bool* unreadable)
{
    const std::optional<ZREmail> email = ZREmail::emailFromString(MailMessageDecoding::decode(message.bytes));
    if (!email) {
        *unreadable = true;
        return std::nullopt;
    }
    const std::optional<QDateTime> date = email->dateReceived();
    if (since.isValid() && date && date->isValid() && *date < since) {
        return std::nullopt;
    }
    const std::optional<ZRRegistrationInfo> info = ZRRegistrationInfoScanner::scanEmail(*email);
    if (!info || info->serial.trimmed().isEmpty()) {
        return std::nullopt;
    }
    LicenceProposal proposal;
    proposal.serial = info->serial.trimmed();
    const LicenceTitleGuess guess = LicenceTitleGuess::fromEmail(*email, proposal.serial);
    proposal.title = guess.title;
    proposal.publisher = guess.publisher;
    proposal.email = info->email.value_or(QString());
    proposal.date = info->date.value_or(date.value_or(QDateTime()));
    const auto header = [&email](const char* field) {
        return ZREmailParser::parseEmailText(email->rawSource(), QLatin1String(field), ZREmailParser::Folding::Unfold)
            .value_or(QString())
            .trimmed();
    };
    proposal.subject = header("Subject").isEmpty() ? QString() : email->subject();
    proposal.from = header("From").isEmpty() ? QString() : email->from();
    proposal.messageId = header("Message-ID");
    proposal.place = message.place;
    return proposal;
}

// An unknown date counts as older than any known one.
bool isNewer(const QDateTime& date, const QDateTime& than)
{
    return date.isValid() && (!than.isValid() || date > than);
}

// Collapses proposals of one serial number as they arrive: the newest message stays, the places of
// the others are kept under it.
class ProposalCollector
{
public:
    void add(LicenceProposal proposal)
    {
        const auto found = m_bySerial.constFind(proposal.serial);
        if (found == m_bySerial.cend()) {
            m_bySerial.insert(proposal.serial, m_proposals.size());
            m_proposals.append(std::move(proposal));
            return;
        }
        LicenceProposal& kept = m_proposals[*found];
        if (isNewer(proposal.date, kept.date)) {
            proposal.duplicates = std::move(kept.duplicates);
            proposal.duplicates.append(kept.place);
            kept = std::move(proposal);
        } else {
            kept.duplicates.append(proposal.place);
        }
    }

    QList<LicenceProposal> takeNewestFirst()
    {
        std::stable_sort(m_proposals.begin(), m_proposals.end(),
                         [](const LicenceProposal& a, const LicenceProposal& b) { return isNewer(a.date, b.date); });
        m_bySerial.clear();
        return std::move(m_proposals);
    }

private:
    QList<LicenceProposal> m_proposals;
    QHash<QString, qsizetype> m_bySerial;
};

} // namespace

MailLicenceFinder::MailLicenceFinder(LibrarySession& session)
    : m_session(session)
{ }

MailLicenceFinder::ScanResult MailLicenceFinder::scan(const QStringList& paths, const ScanOptions& options)
{
    ScanResult result;
    ProposalCollector collector;
    const MailStoreReader reader(options.store);
    qint64 seen = 0;
    for (const QString& path : paths) {
        const MailStoreReader::Counts counts = reader.read(path, [&](const MailStoreMessage& message) {
            ++seen;
            bool unreadable = false;
            if (std::optional<LicenceProposal> proposal = proposalFor(message, options.since, &unreadable)) {
                collector.add(std::move(*proposal));
            }
            result.unreadable += unreadable ? 1 : 0;
            if (seen % ProgressInterval == 0 && options.progress && !options.progress(seen)) {
                result.cancelled = true;
                return false;
            }
            return true;
        });
        result.messages += counts.messages;
        result.unreadable += counts.unreadable;
        if (!counts.error.isEmpty()) {
            result.errors.append(path + QStringLiteral(": ") + counts.error);
        }
        if (result.cancelled) {
            break;
        }
    }
    if (!result.cancelled && options.progress) {
        options.progress(seen);
    }
    result.proposals = collector.takeNewestFirst();
    return result;
}

void MailLicenceFinder::markInCatalogue(QList<LicenceProposal>& proposals) const
{
    const QSet<QString> serials = MailLicenceProducts::catalogueSerials(m_session);
    for (LicenceProposal& proposal : proposals) {
        proposal.inCatalogue = serials.contains(proposal.serial.trimmed());
    }
}

std::optional<QList<Persistence::ObjectID>> MailLicenceFinder::addProposals(const QList<LicenceProposal>& proposals,
                                                                            QString* error)
{
    return MailLicenceProducts(m_session).add(proposals, error);
}
