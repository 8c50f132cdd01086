#include "MainToolbarLayout.h"

#include "prefs/PreferenceKeys.h"
#include "prefs/UserDefaults.h"

#include <QVariantMap>

#include <algorithm>

namespace MainToolbarLayout {

namespace {

QString id(const char* identifier)
{
    return QString::fromLatin1(identifier);
}

// Removes every occurrence; answers the position of the first, or -1.
qsizetype removeItem(QStringList& items, const QString& identifier)
{
    const qsizetype position = items.indexOf(identifier);
    if (position >= 0) {
        items.removeAll(identifier);
    }
    return position;
}

// The settings file keeps a one-element list as text and an empty one as no value.
QStringList toIdentifierList(const QVariant& value)
{
    if (value.typeId() == QMetaType::QStringList || value.typeId() == QMetaType::QVariantList) {
        return value.toStringList();
    }
    const QString text = value.toString();
    return text.isEmpty() ? QStringList() : QStringList {text};
}

} // namespace

bool isLayoutItem(const QString& identifier)
{
    return identifier == id(Separator) || identifier == id(Space) || identifier == id(FlexibleSpace);
}

namespace {

struct ItemKeys
{
    const char* identifier;
    const char* label;
    const char* toolTip;
};

constexpr ItemKeys itemKeys[] = {
    {NewItem, "NewItemToolbarButton", "NewItemToolbarButtonToolTip"},
    {ImportApp, "ImportAppToolbarButton", "ImportAppToolbarButtonToolTip"},
    {RemoveItem, "DeleteItemToolbarButton", "DeleteItemToolbarButtonToolTip"},
    {ImportMail, "AppleMailToolbarButton", "AppleMailToolbarButtonToolTip"},
    {ImportOutlook, "OutlookToolbarButton", "OutlookToolbarButtonToolTip"},
    {AttachFile, "AttachDocumentToolbarButton", "AttachDocumentToolbarButtonToolTip"},
    {SearchItem, "SearchToolbarItem", "SearchToolbarItemToolTip"},
    {ClipboardSerial, "CopyKeyToolbarButton", "CopyKeyToolbarButtonToolTip"},
    {RemoveAttachment, "DeleteAttachmentToolbarButton", "DeleteAttachmentToolbarButtonToolTip"},
    {ImportWidget, "ImportWidgetToolbarButton", "ImportWidgetToolbarButtonToolTip"},
    {ImportPlugin, "ImportPlugInToolbarButton", "ImportPlugInToolbarButtonToolTip"},
    {ImportPrefPane, "ImportPrefPaneToolbarButton", "ImportPrefPaneToolbarButtonToolTip"},
    {RefreshApp, "RefreshAppToolbarButton", "RefreshAppToolbarButtonToolTip"},
    {RefreshAllApps, "RefreshAllAppToolbarButton", "RefreshAllAppToolbarButtonToolTip"},
    {SyncToMobile, "KMSyncToMobileButton", "KMSyncToMobileButton"},
};

const ItemKeys* keysOf(const QString& identifier)
{
    for (const ItemKeys& keys : itemKeys) {
        if (identifier == QLatin1String(keys.identifier)) {
            return &keys;
        }
    }
    return nullptr;
}

} // namespace

QString labelKey(const QString& identifier)
{
    const ItemKeys* keys = keysOf(identifier);
    return keys ? QString::fromLatin1(keys->label) : QString();
}

QString toolTipKey(const QString& identifier)
{
    const ItemKeys* keys = keysOf(identifier);
    return keys ? QString::fromLatin1(keys->toolTip) : QString();
}

bool isMailPreference(const QString& key)
{
    return key == PreferenceKeys::AutoDetectEmailReader || key == PreferenceKeys::EnableAppleMail
        || key == PreferenceKeys::EnableMicrosoftOutlook;
}

QString attachMailButton(const QString& defaultMailReader)
{
    return defaultMailReader == id(OutlookReader) ? id(ImportOutlook) : id(ImportMail);
}

QStringList mailItems(const MailSettings& mail)
{
    if (mail.autoDetect) {
        return {attachMailButton(mail.defaultMailReader)};
    }
    QStringList items;
    if (mail.appleMailEnabled) {
        items.append(id(ImportMail));
    }
    if (mail.outlookEnabled) {
        items.append(id(ImportOutlook));
    }
    return items;
}

QStringList allowedItems(const MailSettings& mail)
{
    QStringList items {id(NewItem),      id(RemoveItem),   id(ImportApp),
                       id(ImportWidget), id(ImportPlugin), id(ImportPrefPane)};
    items += mailItems(mail);
    items
        += QStringList {id(AttachFile),   id(RemoveAttachment), id(ClipboardSerial), id(RefreshApp), id(RefreshAllApps),
                        id(SyncToMobile), id(SearchItem),       id(Separator),       id(Space),      id(FlexibleSpace)};
    return items;
}

QStringList defaultItems(const MailSettings& mail)
{
    QStringList items {id(NewItem), id(ImportApp), id(Separator)};
    items += mailItems(mail);
    items += QStringList {id(AttachFile), id(Separator), id(SyncToMobile), id(FlexibleSpace), id(SearchItem)};
    return items;
}

QStringList syncDefaultEmailReaderToolbarButton(QStringList items, const QString& defaultMailReader)
{
    const qsizetype mail = removeItem(items, id(ImportMail));
    const qsizetype outlook = removeItem(items, id(ImportOutlook));
    if (mail < 0 && outlook < 0) {
        return items;
    }
    const qsizetype position = mail < 0 ? outlook : (outlook < 0 ? mail : std::min(mail, outlook));
    items.insert(std::min(position, items.size()), attachMailButton(defaultMailReader));
    return items;
}

QStringList syncCustomEmailReaderToolbarButtons(QStringList items, bool appleMailEnabled, bool outlookEnabled)
{
    const qsizetype mail = appleMailEnabled ? -1 : removeItem(items, id(ImportMail));
    const qsizetype outlook = outlookEnabled ? -1 : removeItem(items, id(ImportOutlook));
    if (mail < 0 && outlook < 0) {
        return items;
    }
    const qsizetype position
        = std::min(mail < 0 ? outlook : (outlook < 0 ? mail : std::min(mail, outlook)), items.size());
    if (outlookEnabled && !items.contains(id(ImportOutlook))) {
        items.insert(position, id(ImportOutlook));
    }
    if (appleMailEnabled && !items.contains(id(ImportMail))) {
        items.insert(position, id(ImportMail));
    }
    return items;
}

QStringList syncEmailReaderToolbarButtons(const QStringList& items, const MailSettings& mail)
{
    return mail.autoDetect ? syncDefaultEmailReaderToolbarButton(items, mail.defaultMailReader)
                           : syncCustomEmailReaderToolbarButtons(items, mail.appleMailEnabled, mail.outlookEnabled);
}

std::optional<QStringList> savedItems(const UserDefaults& defaults)
{
    const QVariantMap configuration = defaults.dictionaryValue(id(ConfigurationKey));
    if (!configuration.contains(id(ItemIdentifiersKey))) {
        return std::nullopt;
    }
    return toIdentifierList(configuration.value(id(ItemIdentifiersKey)));
}

bool saveItems(UserDefaults& defaults, const QStringList& items)
{
    QVariantMap configuration = defaults.dictionaryValue(id(ConfigurationKey));
    configuration.insert(id(ItemIdentifiersKey), items);
    return defaults.setValue(id(ConfigurationKey), configuration);
}

void syncSavedItems(UserDefaults& defaults, const MailSettings& mail)
{
    const std::optional<QStringList> saved = savedItems(defaults);
    if (!saved) {
        return;
    }
    const QStringList synced = syncEmailReaderToolbarButtons(*saved, mail);
    if (synced != *saved) {
        saveItems(defaults, synced);
    }
}

QStringList itemsToShow(const UserDefaults& defaults, const MailSettings& mail)
{
    const std::optional<QStringList> saved = savedItems(defaults);
    if (!saved) {
        return defaultItems(mail);
    }
    const QStringList allowed = allowedItems(mail);
    QStringList items;
    for (const QString& item : *saved) {
        // Each real item appears once; a list edited by hand must not show a button twice.
        if (allowed.contains(item) && (isLayoutItem(item) || !items.contains(item))) {
            items.append(item);
        }
    }
    return items;
}

} // namespace MainToolbarLayout
