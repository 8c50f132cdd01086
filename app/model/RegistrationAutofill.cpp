#include "RegistrationAutofill.h"

#include "ProductEntity.h"
#include "addressbook/AddressBook.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/UserDefaults.h"

#include <QDateTime>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>

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
    QString cardPath;
};

Settings currentSettings()
{
    Source& from = source();
    QMutexLocker locker(&from.mutex);
    const UserDefaults& defaults = from.defaults ? *from.defaults : UserDefaults::standard();
    Settings settings;
    const QVariant enabled = defaults.value(PreferenceKeys::DefaultUserInfoToAddressBook);
    if (enabled.isValid()) {
        settings.enabled = enabled.toBool();
    }
    const QString profile = defaults.value(PreferenceKeys::AddressBookProfile).toString();
    if (!profile.isEmpty()) {
        settings.profile = profile;
    }
    settings.cardPath = from.cardPath.isEmpty() ? AddressBook::defaultCardPath() : from.cardPath;
    return settings;
}

// The card read last, kept while its file is unchanged: every new product asks for it, and an
// import of thousands of rows would otherwise read and parse the file once per row.
std::optional<AddressBookCard> meCard(const QString& cardPath)
{
    struct Cache
    {
        QMutex mutex;
        bool filled = false;
        QString path;
        bool exists = false;
        QDateTime modified;
        qint64 size = -1;
        std::optional<AddressBookCard> card;
    };
    static Cache cache;
    const QFileInfo file(cardPath);
    const bool exists = file.exists();
    const QDateTime modified = exists ? file.lastModified() : QDateTime();
    const qint64 size = exists ? file.size() : -1;
    QMutexLocker locker(&cache.mutex);
    if (!cache.filled || cache.path != cardPath || cache.exists != exists || cache.modified != modified
        || cache.size != size) {
        cache.card = AddressBook(cardPath).meCard();
        cache.filled = true;
        cache.path = cardPath;
        cache.exists = exists;
        cache.modified = modified;
        cache.size = size;
    }
    return cache.card;
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

void applyDefaults(ProductEntity& product)
{
    const Settings settings = currentSettings();
    if (!settings.enabled) {
        return;
    }
    if (const std::optional<AddressBookCard> card = meCard(settings.cardPath)) {
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

} // namespace RegistrationAutofill
