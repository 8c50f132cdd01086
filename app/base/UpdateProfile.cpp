#include "UpdateProfile.h"

namespace {

QVariantMap profileEntry(const QString& key, const QString& displayKey, const QString& value)
{
    return {{QStringLiteral("key"), key},
            {QStringLiteral("displayKey"), displayKey},
            {QStringLiteral("value"), value},
            {QStringLiteral("displayValue"), value}};
}

} // namespace

QList<QVariantMap> updateProfileEntries(const QString& prettyAppVersion, const QString& defaultEmailReader)
{
    const QString reader = defaultEmailReader.isEmpty() ? QStringLiteral("Unknown") : defaultEmailReader;
    return {profileEntry(QStringLiteral("prettyAppVersion"), QStringLiteral("Application Version"), prettyAppVersion),
            profileEntry(QStringLiteral("defaultEmailReader"), QStringLiteral("Email Reader"), reader)};
}
