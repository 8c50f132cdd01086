#include "UserPreferences.h"

#include "PreferenceKeys.h"
#include "SoftwareFolders.h"
#include "UserDefaults.h"
#include "base/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cmath>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace {

const QString OutlookReader = QStringLiteral("Microsoft Outlook");

// The home folder of another user, for "~name/..." paths; empty if there is no such user.
QString homeOfUser(const QString& name)
{
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry {};
    passwd* found = nullptr;
    const QByteArray encoded = name.toLocal8Bit();
    if (getpwnam_r(encoded.constData(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found
        || !found->pw_dir) {
        return {};
    }
    return QFile::decodeName(found->pw_dir);
}

SortComparison comparisonForKey(const QString& key)
{
    return key.contains(QLatin1String("date"), Qt::CaseInsensitive) ? SortComparison::Natural
                                                                    : SortComparison::CaseInsensitiveText;
}

// The folders the import choosers start in; each must exist when a chooser opens.
bool isImportFolderKey(const QString& key)
{
    using namespace PreferenceKeys;
    return key == ImportAppPath || key == ImportIconPath || key == ImportFilePath;
}

} // namespace

UserPreferences::Environment UserPreferences::Environment::detect(const QString& defaultMailReader)
{
    Environment environment;
    environment.defaultMailReader = defaultMailReader;
    environment.homePath = QDir::homePath();
    environment.dropboxInstalled = !QStandardPaths::findExecutable(QStringLiteral("dropbox")).isEmpty()
        || QFileInfo(QDir(environment.homePath).filePath(QStringLiteral(".dropbox-dist"))).isDir();
    environment.applicationFolders = SoftwareFolders::standardApplicationFolders();
    return environment;
}

UserPreferences::UserPreferences(UserDefaults& defaults, Environment environment)
    : m_defaults(defaults)
    , m_environment(std::move(environment))
{
    if (m_environment.homePath.isEmpty()) {
        m_environment.homePath = QDir::homePath();
    }
    registerDefaults();
}

QStringList UserPreferences::exportableKeyPaths()
{
    return {QStringLiteral("title"),
            QStringLiteral("productVersion"),
            QStringLiteral("serialNumber"),
            QStringLiteral("registeredName"),
            QStringLiteral("registeredEmail"),
            QStringLiteral("registeredCompany"),
            QStringLiteral("publisher"),
            QStringLiteral("productWebsite"),
            QStringLiteral("productEmail"),
            QStringLiteral("purchaseDate"),
            QStringLiteral("purchaseCurrency"),
            QStringLiteral("purchasePrice"),
            QStringLiteral("purchaseOrderNumber"),
            QStringLiteral("commentsString")};
}

QVariantMap UserPreferences::registeredCVSExportFields()
{
    QVariantMap fields;
    for (const QString& keyPath : exportableKeyPaths()) {
        fields.insert(keyPath, true);
    }
    return fields;
}

void UserPreferences::registerDefaults()
{
    using namespace PreferenceKeys;
    const QString desktop = QStringLiteral("~/Desktop");
    const QString home = m_environment.homePath;
    // The import choosers start in folders this machine has.
    const QString applications
        = abbreviateTildeInPath(SoftwareFolders::firstExistingFolder(m_environment.applicationFolders, home), home);
    const QString importFiles = QFileInfo(expandTildeInPath(desktop, home)).isDir() ? desktop : QStringLiteral("~");
    QVariantMap table {
        {ProductSortKey, QStringLiteral("title")},
        {ProductSortAscending, true},
        {AttachmentSortKey, QStringLiteral("name")},
        {AttachmentSortAscending, true},
        {CurrencySortKey, QStringLiteral("sortIndex")},
        {CurrencySortAscending, true},
        {AutoSaveTimeInterval, 60.0},
        {DefaultUserInfoToAddressBook, true},
        {AddressBookProfile, QStringLiteral("Auto")},
        {ScanEmailUponImport, true},
        {AskBeforeReplacingCurrentInfo, true},
        {AutoCopySerial, false},
        {AutoDetectEmailReader, true},
        {ImportAppPath, applications},
        {ImportIconPath, applications},
        {ImportFilePath, importFiles},
        {ExportAttachmentPath, desktop},
        {ExportCSVPath, desktop},
        {PrintAllOneAppPerPage, true},
        {ActiveExportValues, registeredCVSExportFields()},
        {SyncOn, false},
    };

    // Only the default mail program's import is switched on; the other key has no default at all.
    const bool outlook = m_environment.defaultMailReader == OutlookReader;
    const QString enabledReader = outlook ? QString(EnableMicrosoftOutlook) : QString(EnableAppleMail);
    const QString otherReader = outlook ? QString(EnableAppleMail) : QString(EnableMicrosoftOutlook);
    table.insert(enabledReader, true);
    m_defaults.unregisterDefault(otherReader);

    const QString dropbox = expandTildeInPath(QStringLiteral("~/Dropbox"), m_environment.homePath);
    if (m_environment.dropboxInstalled && QFileInfo(dropbox).isDir()) {
        table.insert(SyncDropFolderLocation, dropbox);
    } else {
        m_defaults.unregisterDefault(SyncDropFolderLocation);
    }
    m_defaults.registerDefaults(table);
}

QString UserPreferences::expandTildeInPath(const QString& path, const QString& homePath)
{
    if (!path.startsWith(QLatin1Char('~'))) {
        return path;
    }
    const qsizetype slash = path.indexOf(QLatin1Char('/'));
    const QString user = path.mid(1, slash < 0 ? -1 : slash - 1);
    const QString home = user.isEmpty() ? homePath : homeOfUser(user);
    if (home.isEmpty()) {
        return path;
    }
    if (slash < 0) {
        return home;
    }
    QString rest = path.mid(slash);
    if (home.endsWith(QLatin1Char('/'))) {
        rest.remove(0, 1);
    }
    return home + rest;
}

QString UserPreferences::abbreviateTildeInPath(const QString& path, const QString& homePath)
{
    const QString home = QDir::cleanPath(homePath);
    const QString cleaned = QDir::cleanPath(path);
    if (path.isEmpty() || home.isEmpty() || home == QLatin1String("/")) {
        return path;
    }
    if (cleaned == home) {
        return QStringLiteral("~");
    }
    if (cleaned.startsWith(home + QLatin1Char('/'))) {
        return QLatin1Char('~') + cleaned.mid(home.size());
    }
    return path;
}

QString UserPreferences::expandedPath(const QString& key) const
{
    const QString& home = m_environment.homePath;
    const QString path = expandTildeInPath(m_defaults.stringValue(key), home);
    if (!isImportFolderKey(key) || QFileInfo(path).isDir()) {
        return path;
    }
    const QString registered = expandTildeInPath(m_defaults.registeredValue(key).toString(), home);
    return QFileInfo(registered).isDir() ? registered : home;
}

SortOrder UserPreferences::loadSortDescriptorsArray(const QString& sortKey, const QString& ascendingKey) const
{
    QString key = m_defaults.stringValue(sortKey);
    if (key.isEmpty()) {
        // A list cannot be sorted on nothing: an emptied entry means the registered attribute.
        key = m_defaults.registeredValue(sortKey).toString();
    }
    return {SortOrderEntry {key, boolValue(ascendingKey), comparisonForKey(key)}};
}

void UserPreferences::saveSortDescriptorsArray(const SortOrder& order, const QString& sortKey,
                                               const QString& ascendingKey)
{
    if (order.isEmpty() || order.first().key.isEmpty()) {
        return;
    }
    setString(sortKey, order.first().key);
    setBool(ascendingKey, order.first().ascending);
}

SortOrder UserPreferences::productSortDescriptorsArray() const
{
    return loadSortDescriptorsArray(PreferenceKeys::ProductSortKey, PreferenceKeys::ProductSortAscending);
}

void UserPreferences::setProductSortDescriptorsArray(const SortOrder& order)
{
    saveSortDescriptorsArray(order, PreferenceKeys::ProductSortKey, PreferenceKeys::ProductSortAscending);
}

SortOrder UserPreferences::attachmentSortDescriptorsArray() const
{
    return loadSortDescriptorsArray(PreferenceKeys::AttachmentSortKey, PreferenceKeys::AttachmentSortAscending);
}

void UserPreferences::setAttachmentSortDescriptorsArray(const SortOrder& order)
{
    saveSortDescriptorsArray(order, PreferenceKeys::AttachmentSortKey, PreferenceKeys::AttachmentSortAscending);
}

SortOrder UserPreferences::currencySortDescriptorsArray() const
{
    SortOrder order = loadSortDescriptorsArray(PreferenceKeys::CurrencySortKey, PreferenceKeys::CurrencySortAscending);
    order.first().comparison = SortComparison::Natural;
    return order;
}

void UserPreferences::setCurrencySortDescriptorsArray(const SortOrder& order)
{
    saveSortDescriptorsArray(order, PreferenceKeys::CurrencySortKey, PreferenceKeys::CurrencySortAscending);
}

double UserPreferences::autoSaveTimeInterval() const
{
    // A period of zero or less would make the timer save without pause: a damaged entry reads as
    // the registered period.
    const double seconds = m_defaults.doubleValue(PreferenceKeys::AutoSaveTimeInterval);
    if (std::isfinite(seconds) && seconds > 0) {
        return seconds;
    }
    return m_defaults.registeredValue(PreferenceKeys::AutoSaveTimeInterval).toDouble();
}

void UserPreferences::setAutoSaveTimeInterval(double seconds)
{
    if (!std::isfinite(seconds) || seconds <= 0) {
        Log::write(QStringLiteral("Ignoring an autosave interval of %1 seconds.").arg(seconds));
        return;
    }
    QString error;
    if (!m_defaults.setValue(PreferenceKeys::AutoSaveTimeInterval, seconds, &error)) {
        Log::write(error);
    }
}

bool UserPreferences::boolValue(const QString& key) const
{
    return m_defaults.boolValue(key);
}

void UserPreferences::setBool(const QString& key, bool on)
{
    QString error;
    if (!m_defaults.setValue(key, on, &error)) {
        Log::write(error);
    }
}

void UserPreferences::setString(const QString& key, const QString& text)
{
    QString error;
    if (!m_defaults.setValue(key, text, &error)) {
        Log::write(error);
    }
}

// clang-format off
bool UserPreferences::scanEmailUponImport() const { return boolValue(PreferenceKeys::ScanEmailUponImport); }
void UserPreferences::setScanEmailUponImport(bool on) { setBool(PreferenceKeys::ScanEmailUponImport, on); }
bool UserPreferences::askBeforeReplaceInfo() const { return boolValue(PreferenceKeys::AskBeforeReplacingCurrentInfo); }
void UserPreferences::setAskBeforeReplaceInfo(bool on) { setBool(PreferenceKeys::AskBeforeReplacingCurrentInfo, on); }
bool UserPreferences::autoCopySerial() const { return boolValue(PreferenceKeys::AutoCopySerial); }
void UserPreferences::setAutoCopySerial(bool on) { setBool(PreferenceKeys::AutoCopySerial, on); }
bool UserPreferences::defaultUserInfoToAddressBook() const { return boolValue(PreferenceKeys::DefaultUserInfoToAddressBook); }
void UserPreferences::setDefaultUserInfoToAddressBook(bool on) { setBool(PreferenceKeys::DefaultUserInfoToAddressBook, on); }
bool UserPreferences::autoDetectEmailReader() const { return boolValue(PreferenceKeys::AutoDetectEmailReader); }
void UserPreferences::setAutoDetectEmailReader(bool on) { setBool(PreferenceKeys::AutoDetectEmailReader, on); }
bool UserPreferences::enableAppleMail() const { return boolValue(PreferenceKeys::EnableAppleMail); }
void UserPreferences::setEnableAppleMail(bool on) { setBool(PreferenceKeys::EnableAppleMail, on); }
bool UserPreferences::enableMicrosoftOutlook() const { return boolValue(PreferenceKeys::EnableMicrosoftOutlook); }
void UserPreferences::setEnableMicrosoftOutlook(bool on) { setBool(PreferenceKeys::EnableMicrosoftOutlook, on); }
bool UserPreferences::printAllOneAppPerPage() const { return boolValue(PreferenceKeys::PrintAllOneAppPerPage); }
void UserPreferences::setPrintAllOneAppPerPage(bool on) { setBool(PreferenceKeys::PrintAllOneAppPerPage, on); }
bool UserPreferences::syncOn() const { return boolValue(PreferenceKeys::SyncOn); }
void UserPreferences::setSyncOn(bool on) { setBool(PreferenceKeys::SyncOn, on); }

QString UserPreferences::importAppPath() const { return m_defaults.stringValue(PreferenceKeys::ImportAppPath); }
void UserPreferences::setImportAppPath(const QString& path) { setString(PreferenceKeys::ImportAppPath, path); }
QString UserPreferences::importFilePath() const { return m_defaults.stringValue(PreferenceKeys::ImportFilePath); }
void UserPreferences::setImportFilePath(const QString& path) { setString(PreferenceKeys::ImportFilePath, path); }
QString UserPreferences::importIconPath() const { return m_defaults.stringValue(PreferenceKeys::ImportIconPath); }
void UserPreferences::setImportIconPath(const QString& path) { setString(PreferenceKeys::ImportIconPath, path); }
QString UserPreferences::exportAttachmentPath() const { return m_defaults.stringValue(PreferenceKeys::ExportAttachmentPath); }
void UserPreferences::setExportAttachmentPath(const QString& path) { setString(PreferenceKeys::ExportAttachmentPath, path); }
QString UserPreferences::exportCSVPath() const { return m_defaults.stringValue(PreferenceKeys::ExportCSVPath); }
void UserPreferences::setExportCSVPath(const QString& path) { setString(PreferenceKeys::ExportCSVPath, path); }
QString UserPreferences::syncDropFolderLocation() const { return m_defaults.stringValue(PreferenceKeys::SyncDropFolderLocation); }
void UserPreferences::setSyncDropFolderLocation(const QString& path) { setString(PreferenceKeys::SyncDropFolderLocation, path); }
QString UserPreferences::phoneExportFolder() const { return m_defaults.stringValue(PreferenceKeys::PhoneExportFolder); }
void UserPreferences::setPhoneExportFolder(const QString& path) { setString(PreferenceKeys::PhoneExportFolder, path); }
QString UserPreferences::phoneExportPassphraseFile() const { return m_defaults.stringValue(PreferenceKeys::PhoneExportPassphraseFile); }
void UserPreferences::setPhoneExportPassphraseFile(const QString& path) { setString(PreferenceKeys::PhoneExportPassphraseFile, path); }
QString UserPreferences::addressBookProfile() const { return m_defaults.stringValue(PreferenceKeys::AddressBookProfile); }
// clang-format on

QStringList UserPreferences::addressBookProfiles()
{
    return {QStringLiteral("Auto"), QStringLiteral("Home"), QStringLiteral("Work")};
}

void UserPreferences::setAddressBookProfile(const QString& profile)
{
    if (!addressBookProfiles().contains(profile)) {
        Log::write(QStringLiteral("Ignoring an unknown address book profile: %1").arg(profile));
        return;
    }
    setString(PreferenceKeys::AddressBookProfile, profile);
}

QStringList UserPreferences::mailSources()
{
    return {QStringLiteral("Thunderbird"), QStringLiteral("Evolution"), QStringLiteral("Maildir"),
            QStringLiteral("Mbox")};
}

QString UserPreferences::mailSource() const
{
    const QString source = m_defaults.stringValue(PreferenceKeys::MailSource);
    return mailSources().contains(source) ? source : QString();
}

void UserPreferences::setMailSource(const QString& source)
{
    if (!mailSources().contains(source)) {
        Log::write(QStringLiteral("Ignoring an unknown mail source: %1").arg(source));
        return;
    }
    setString(PreferenceKeys::MailSource, source);
}

QString UserPreferences::mailSourcePath() const
{
    return m_defaults.stringValue(PreferenceKeys::MailSourcePath);
}

void UserPreferences::setMailSourcePath(const QString& path)
{
    setString(PreferenceKeys::MailSourcePath, path);
}

QVariantMap UserPreferences::activeExportValues() const
{
    return m_defaults.dictionaryValue(PreferenceKeys::ActiveExportValues);
}

void UserPreferences::setActiveExportValues(const QVariantMap& values)
{
    QString error;
    if (!m_defaults.setValue(PreferenceKeys::ActiveExportValues, values, &error)) {
        Log::write(error);
    }
}
