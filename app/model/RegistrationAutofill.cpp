#include "RegistrationAutofill.h"

#include "ProductEntity.h"
#include "addressbook/AddressBook.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/UserDefaults.h"

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
    if (const std::optional<AddressBookCard> card = AddressBook(settings.cardPath).meCard()) {
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
