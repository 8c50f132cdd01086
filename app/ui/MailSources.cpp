#include "MailSources.h"

#include "base/Localization.h"
#include "email/MailStoreLocations.h"
#include "prefs/UserPreferences.h"

namespace MailSources {

namespace {

bool is(const QString& source, const char* name)
{
    return source == QLatin1String(name);
}

} // namespace

QString detectedPath(const QString& source)
{
    if (is(source, Thunderbird)) {
        return MailStoreLocations::defaultThunderbirdProfile();
    }
    if (is(source, Evolution)) {
        return MailStoreLocations::evolutionLocalStore();
    }
    return QString();
}

bool isChosenByPerson(const QString& source)
{
    return is(source, Maildir) || is(source, Mbox);
}

QString preferred(const QString& stored, const QString& defaultMailProgramId, bool thunderbirdFound,
                  bool evolutionFound)
{
    if (UserPreferences::mailSources().contains(stored)) {
        return stored;
    }
    const QString program = defaultMailProgramId.toLower();
    if (thunderbirdFound && program.contains(QLatin1String("thunderbird"))) {
        return QString::fromLatin1(Thunderbird);
    }
    if (evolutionFound && program.contains(QLatin1String("evolution"))) {
        return QString::fromLatin1(Evolution);
    }
    if (thunderbirdFound) {
        return QString::fromLatin1(Thunderbird);
    }
    return QString::fromLatin1(evolutionFound ? Evolution : Mbox);
}

QString label(const QString& source)
{
    if (is(source, Thunderbird)) {
        return localizedString(QStringLiteral("MailFinderSourceThunderbird"));
    }
    if (is(source, Evolution)) {
        return localizedString(QStringLiteral("MailFinderSourceEvolution"));
    }
    if (is(source, Maildir)) {
        return localizedString(QStringLiteral("MailFinderSourceMaildir"));
    }
    return localizedString(QStringLiteral("MailFinderSourceMbox"));
}

QString pathFor(const QString& source, const UserPreferences& prefs)
{
    if (isChosenByPerson(source)) {
        return prefs.mailSource() == source ? prefs.mailSourcePath() : QString();
    }
    return detectedPath(source);
}

} // namespace MailSources
