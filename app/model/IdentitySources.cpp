#include "IdentitySources.h"

#include "RegistrationAutofill.h"
#include "addressbook/AddressBook.h"
#include "base/Log.h"
#include "email/MailStoreLocations.h"
#include "identity/EvolutionIdentity.h"
#include "identity/GitIdentity.h"
#include "identity/OnlineAccountsIdentity.h"
#include "identity/ThunderbirdIdentity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

using IdentitySources::Reading;
using IdentitySources::Source;

// The bus answer must not hold up a new product for long.
constexpr int OnlineAccountsTimeout = 300;

void logProblem(const QString& problem)
{
    Log::write(QStringLiteral("Ignoring a source of your name and e-mail address: %1").arg(problem));
}

QString cardEmail(const AddressBookCard& card, const QString& profile)
{
    if (profile == QLatin1String(RegistrationAutofill::HomeProfile)) {
        return card.firstEmailWithLabel(QString::fromLatin1(AddressBookCard::HomeLabel));
    }
    if (profile == QLatin1String(RegistrationAutofill::WorkProfile)) {
        return card.firstEmailWithLabel(QString::fromLatin1(AddressBookCard::WorkLabel));
    }
    return card.primaryEmail();
}

void readCard(Reading& reading, const QString& cardPath, const QString& profile)
{
    reading.files.append(cardPath);
    if (!QFileInfo(cardPath).isFile()) {
        return;
    }
    QString error;
    const std::optional<AddressBookCard> card = AddressBook(cardPath).meCard(&error);
    if (!card) {
        logProblem(error);
        return;
    }
    reading.identity = {card->fullName(), cardEmail(*card, profile), card->organization.trimmed()};
}

void readThunderbird(Reading& reading)
{
    for (const QString& root : MailStoreLocations::thunderbirdProfileRoots()) {
        const QString ini = QDir(root).filePath(QStringLiteral("profiles.ini"));
        reading.files.append(ini);
        const QString profile = MailStoreLocations::defaultThunderbirdProfile(ini);
        if (profile.isEmpty()) {
            continue;
        }
        reading.files.append(QDir(profile).filePath(QStringLiteral("prefs.js")));
        QString problem;
        if (const std::optional<PersonIdentity> identity = ThunderbirdIdentity::read(profile, &problem)) {
            if (identity->isUsable()) {
                reading.identity = *identity;
                return;
            }
        } else {
            logProblem(problem);
        }
    }
}

QStringList evolutionSourceFolders()
{
    QString config = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    if (config.isEmpty() || QDir::isRelativePath(config)) {
        config = QDir::home().filePath(QStringLiteral(".config"));
    }
    return {QDir(config).filePath(QStringLiteral("evolution/sources")),
            QDir::home().filePath(QStringLiteral(".var/app/org.gnome.Evolution/config/evolution/sources"))};
}

void readEvolution(Reading& reading)
{
    const QStringList folders = evolutionSourceFolders();
    for (const QString& folder : folders) {
        reading.files.append(folder);
        for (const QString& name : QDir(folder).entryList({QStringLiteral("*.source")}, QDir::Files)) {
            reading.files.append(QDir(folder).filePath(name));
        }
    }
    reading.identity = EvolutionIdentity::read(folders, logProblem);
}

void readOnlineAccounts(Reading& reading)
{
    reading.askedBus = true;
    QString problem;
    reading.identity = OnlineAccountsIdentity::read(OnlineAccountsTimeout, &problem);
    if (!problem.isEmpty()) {
        logProblem(problem);
    }
}

void readGit(Reading& reading)
{
    reading.files.append(GitIdentity::globalConfigFiles());
    reading.identity = GitIdentity::read();
}

void readAccount(Reading& reading)
{
    reading.identity.name = AddressBook::currentAccountCard().fullName();
}

} // namespace

namespace IdentitySources {

const std::vector<Source>& all()
{
    static const std::vector<Source> sources {Source::AddressCard,    Source::Thunderbird, Source::Evolution,
                                              Source::OnlineAccounts, Source::Git,         Source::Account};
    return sources;
}

QString key(Source source)
{
    switch (source) {
    case Source::AddressCard:
        return QStringLiteral("AddressCard");
    case Source::Thunderbird:
        return QStringLiteral("Thunderbird");
    case Source::Evolution:
        return QStringLiteral("Evolution");
    case Source::OnlineAccounts:
        return QStringLiteral("OnlineAccounts");
    case Source::Git:
        return QStringLiteral("Git");
    case Source::Account:
        return QStringLiteral("Account");
    }
    return {};
}

std::optional<Source> fromKey(const QString& text)
{
    for (const Source source : all()) {
        if (key(source) == text) {
            return source;
        }
    }
    return std::nullopt;
}

Reading read(Source source, const QString& cardPath, const QString& profile)
{
    Reading reading;
    reading.source = source;
    switch (source) {
    case Source::AddressCard:
        readCard(reading, cardPath, profile);
        break;
    case Source::Thunderbird:
        readThunderbird(reading);
        break;
    case Source::Evolution:
        readEvolution(reading);
        break;
    case Source::OnlineAccounts:
        readOnlineAccounts(reading);
        break;
    case Source::Git:
        readGit(reading);
        break;
    case Source::Account:
        readAccount(reading);
        break;
    }
    return reading;
}

Reading firstUsable(const QString& cardPath, const QString& profile, bool* found)
{
    Reading first;
    for (const Source source : all()) {
        Reading reading = read(source, cardPath, profile);
        first.files.append(reading.files);
        first.askedBus = first.askedBus || reading.askedBus;
        if (reading.identity.isUsable()) {
            first.source = reading.source;
            first.identity = reading.identity;
            *found = true;
            return first;
        }
    }
    *found = false;
    return first;
}

} // namespace IdentitySources
