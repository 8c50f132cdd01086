#include "ThunderbirdIdentity.h"

#include "IdentityFileText.h"
#include "MozillaPrefs.h"

#include <QDir>
#include <QRegularExpression>

namespace {

QStringList listed(const QString& value)
{
    QStringList items;
    for (const QString& item : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (!item.trimmed().isEmpty()) {
            items.append(item.trimmed());
        }
    }
    return items;
}

PersonIdentity identity(const MozillaPrefs& prefs, const QString& id)
{
    const QString prefix = QStringLiteral("mail.identity.%1.").arg(id);
    return {prefs.string(prefix + QStringLiteral("fullName")).trimmed(),
            prefs.string(prefix + QStringLiteral("useremail")).trimmed(),
            prefs.string(prefix + QStringLiteral("organization")).trimmed()};
}

QStringList identitiesOf(const MozillaPrefs& prefs, const QString& account)
{
    return listed(prefs.string(QStringLiteral("mail.account.%1.identities").arg(account)));
}

// Every identity id in the order to try after the default account's: the accounts' identities in
// the account manager's order, then any other identity the file names.
QStringList identityOrder(const MozillaPrefs& prefs)
{
    QStringList ids;
    for (const QString& account : listed(prefs.string(QStringLiteral("mail.accountmanager.accounts")))) {
        ids.append(identitiesOf(prefs, account));
    }
    static const QRegularExpression identityPref(QStringLiteral("^mail\\.identity\\.([^.]+)\\."));
    for (const QString& name : prefs.names()) {
        if (const QRegularExpressionMatch match = identityPref.match(name); match.hasMatch()) {
            ids.append(match.captured(1));
        }
    }
    ids.removeDuplicates();
    return ids;
}

} // namespace

namespace ThunderbirdIdentity {

PersonIdentity fromPrefs(const MozillaPrefs& prefs)
{
    const QString account = prefs.string(QStringLiteral("mail.accountmanager.defaultaccount")).trimmed();
    if (!account.isEmpty()) {
        const QStringList ids = identitiesOf(prefs, account);
        if (!ids.isEmpty()) {
            if (const PersonIdentity first = identity(prefs, ids.first()); first.isUsable()) {
                return first;
            }
        }
    }
    for (const QString& id : identityOrder(prefs)) {
        if (const PersonIdentity found = identity(prefs, id); found.isUsable()) {
            return found;
        }
    }
    return {};
}

std::optional<PersonIdentity> read(const QString& profileFolder, QString* problem)
{
    const std::optional<QString> text
        = IdentityFileText::read(QDir(profileFolder).filePath(QStringLiteral("prefs.js")), problem);
    if (!text) {
        return std::nullopt;
    }
    QString syntax;
    const std::optional<MozillaPrefs> prefs = MozillaPrefs::parse(*text, &syntax);
    if (!prefs) {
        *problem = QStringLiteral("%1 is not a preferences file: %2")
                       .arg(QDir(profileFolder).filePath(QStringLiteral("prefs.js")), syntax);
        return std::nullopt;
    }
    return fromPrefs(*prefs);
}

} // namespace ThunderbirdIdentity
