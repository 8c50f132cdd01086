#include "EmailRegistrationScan.h"

#include "email/ZRRegistrationInfoScanner.h"
#include "library/LibrarySession.h"
#include "model/AttachedEmail.h"
#include "model/ProductEntity.h"
#include "model/ZRAttachmentContent.h"
#include "prefs/UserPreferences.h"

EmailRegistrationScan::EmailRegistrationScan(LibrarySession& session, RegistrationWriter writer)
    : m_session(session)
    , m_writer(std::move(writer))
{ }

bool EmailRegistrationScan::scanEmailUponImport() const
{
    return m_scanOverride.value_or(m_session.userPrefs().scanEmailUponImport());
}

bool EmailRegistrationScan::scanEmailForRegistrationInfo(AttachedEmail* email) const
{
    if (!email || !email->content() || !m_writer) {
        return false;
    }
    const QString to = email->to();
    const QDateTime date = email->date();
    const std::optional<ZRRegistrationInfo> info = ZRRegistrationInfoScanner::scanAttachment(
        email->content()->contentData(), email->encoding(), to.isEmpty() ? std::nullopt : std::optional<QString>(to),
        date.isValid() ? std::optional<QDateTime>(date) : std::nullopt);
    if (!info) {
        return false;
    }
    // The message's own product: the selection may have moved on while a background job ran.
    return m_writer(email->product(), *info);
}
