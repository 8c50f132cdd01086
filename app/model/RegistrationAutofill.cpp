#include "RegistrationAutofill.h"

#include "IdentitySources.h"
#include "ProductEntity.h"
#include "addressbook/AddressBook.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/UserDefaults.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>

#include <sys/stat.h>

namespace {

struct Source
{
    QMutex mutex;
    UserDefaults* defaults = nullptr;
    QString cardPath;
};

Source& source()
{
    static Source instance;
    return instance;
}

struct Settings
{
    bool enabled = true;
    QString profile = QString::fromLatin1(RegistrationAutofill::AutoProfile);
    QString source = QString::fromLatin1(IdentitySources::Automatic);
    QString cardPath;
};

const UserDefaults& userDefaults(const Source& from)
{
    return from.defaults ? *from.defaults : UserDefaults::standard();
}

// Asked first for every new product, so that nothing else is looked up when filling in is off.
bool fillingInEnabled()
{
    static const QString key = PreferenceKeys::DefaultUserInfoToAddressBook;
    Source& from = source();
    QMutexLocker locker(&from.mutex);
    const QVariant enabled = userDefaults(from).value(key);
    return !enabled.isValid() || enabled.toBool();
}

Settings currentSettings()
{
    Source& from = source();
    QMutexLocker locker(&from.mutex);
    const UserDefaults& defaults = userDefaults(from);
    Settings settings;
    const QVariant enabled = defaults.value(PreferenceKeys::DefaultUserInfoToAddressBook);
    if (enabled.isValid()) {
        settings.enabled = enabled.toBool();
    }
    const QString profile = defaults.value(PreferenceKeys::AddressBookProfile).toString();
    if (!profile.isEmpty()) {
        settings.profile = profile;
    }
    const QString source = defaults.value(PreferenceKeys::RegistrationInfoSource).toString();
    if (IdentitySources::fromKey(source)) {
        settings.source = source;
    }
    settings.cardPath = from.cardPath.isEmpty() ? AddressBook::defaultCardPath() : from.cardPath;
    return settings;
}

// What a file looked like when it was read: a single stat(), since every new product asks and
// an import of thousands of rows would otherwise spend most of its time asking the file system.
struct FileStamp
{
    QString path;
    bool exists = false;
    qint64 modifiedNs = 0;
    qint64 size = -1;
    quint64 inode = 0;

    static FileStamp of(const QString& path)
    {
        struct stat status = {};
        if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
            return {path};
        }
        return {path, true, qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec, qint64(status.st_size),
                quint64(status.st_ino)};
    }
    bool operator==(const FileStamp&) const = default;
};

// The card read last, kept while its file is unchanged: every new product asks for it, and an
// import of thousands of rows would otherwise read and parse the file once per row.
std::optional<AddressBookCard> meCard(const QString& cardPath)
{
    struct Cache
    {
        QMutex mutex;
        bool filled = false;
        FileStamp stamp;
        std::optional<AddressBookCard> card;
    };
    static Cache cache;
    const FileStamp stamp = FileStamp::of(cardPath);
    QMutexLocker locker(&cache.mutex);
    if (!cache.filled || !(cache.stamp == stamp)) {
        cache.card = AddressBook(cardPath).meCard();
        cache.filled = true;
        cache.stamp = stamp;
    }
    return cache.card;
}

// How long an answer that needed the session bus is kept.
constexpr qint64 BusAnswerLifetime = 60 * 1000;

// What the chosen source (or the first that yields) says, kept while its files are unchanged.
std::optional<IdentitySources::Reading> person(const Settings& settings)
{
    struct Cache
    {
        QMutex mutex;
        bool filled = false;
        QString key;
        std::vector<FileStamp> stamps;
        QElapsedTimer busAge;
        bool found = false;
        IdentitySources::Reading reading;
    };
    static Cache cache;
    const QString key = settings.source + QLatin1Char('\n') + settings.profile + QLatin1Char('\n') + settings.cardPath;
    QMutexLocker locker(&cache.mutex);
    bool fresh
        = cache.filled && cache.key == key && (!cache.reading.askedBus || !cache.busAge.hasExpired(BusAnswerLifetime));
    for (qsizetype i = 0; fresh && i < qsizetype(cache.stamps.size()); ++i) {
        fresh = cache.stamps[i] == FileStamp::of(cache.stamps[i].path);
    }
    if (!fresh) {
        if (const auto source = IdentitySources::fromKey(settings.source)) {
            cache.reading = IdentitySources::read(*source, settings.cardPath, settings.profile);
            cache.found = cache.reading.identity.isUsable();
        } else {
            cache.reading = IdentitySources::firstUsable(settings.cardPath, settings.profile, &cache.found);
        }
        cache.stamps.clear();
        for (const QString& path : cache.reading.files) {
            cache.stamps.push_back(FileStamp::of(path));
        }
        cache.busAge.start();
        cache.key = key;
        cache.filled = true;
    }
    return cache.found ? std::optional(cache.reading) : std::nullopt;
}

} // namespace

namespace RegistrationAutofill {

void apply(ProductEntity& product, const AddressBookCard& card, const QString& profile)
{
    const QString name = card.fullName();
    if (!name.isEmpty()) {
        product.setRegisteredName(name);
    }

    std::optional<QString> email;
    if (profile == QLatin1String(AutoProfile)) {
        email = card.primaryEmail();
    } else if (profile == QLatin1String(HomeProfile)) {
        email = card.firstEmailWithLabel(QString::fromLatin1(AddressBookCard::HomeLabel));
    } else if (profile == QLatin1String(WorkProfile)) {
        email = card.firstEmailWithLabel(QString::fromLatin1(AddressBookCard::WorkLabel));
    }
    if (email) {
        product.setValue(QStringLiteral("registeredEmail"), email->isEmpty() ? QVariant() : QVariant(*email));
    }

    if (profile == QLatin1String(WorkProfile) && !card.organization.trimmed().isEmpty()) {
        product.setRegisteredCompany(card.organization.trimmed());
    }
}

void apply(ProductEntity& product, const PersonIdentity& identity, const QString& profile)
{
    if (!identity.name.trimmed().isEmpty()) {
        product.setRegisteredName(identity.name.trimmed());
    }
    if (!identity.email.trimmed().isEmpty()) {
        product.setValue(QStringLiteral("registeredEmail"), identity.email.trimmed());
    }
    if (profile == QLatin1String(WorkProfile) && !identity.organization.trimmed().isEmpty()) {
        product.setRegisteredCompany(identity.organization.trimmed());
    }
}

void applyDefaults(ProductEntity& product)
{
    if (!fillingInEnabled()) {
        return;
    }
    const Settings settings = currentSettings();
    if (!settings.enabled) {
        return;
    }
    const std::optional<IdentitySources::Reading> found = person(settings);
    if (!found) {
        return;
    }
    if (found->source != IdentitySources::Source::AddressCard) {
        apply(product, found->identity, settings.profile);
    } else if (const std::optional<AddressBookCard> card = meCard(settings.cardPath)) {
        apply(product, *card, settings.profile);
    }
}

void setUserDefaults(UserDefaults* defaults)
{
    QMutexLocker locker(&source().mutex);
    source().defaults = defaults;
}

void forgetUserDefaults(const UserDefaults* defaults)
{
    QMutexLocker locker(&source().mutex);
    if (source().defaults == defaults) {
        source().defaults = nullptr;
    }
}

void setCardPath(const QString& path)
{
    QMutexLocker locker(&source().mutex);
    source().cardPath = path;
}

QString cardPath()
{
    QMutexLocker locker(&source().mutex);
    return source().cardPath.isEmpty() ? AddressBook::defaultCardPath() : source().cardPath;
}

} // namespace RegistrationAutofill
