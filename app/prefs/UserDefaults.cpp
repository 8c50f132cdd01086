#include "UserDefaults.h"

#include <QDir>
#include <QMutexLocker>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <atomic>

namespace {

// QSettings reads "/" and "\" in keys as group separators; a key must stay one key.
QString encodeKey(const QString& key)
{
    const auto special
        = [](QChar c) { return c == QLatin1Char('%') || c == QLatin1Char('/') || c == QLatin1Char('\\'); };
    if (std::none_of(key.cbegin(), key.cend(), special)) {
        return key; // the usual case, read on every new product: no copy
    }
    QString encoded;
    encoded.reserve(key.size());
    for (const QChar c : key) {
        if (c == QLatin1Char('%')) {
            encoded += QLatin1String("%25");
        } else if (c == QLatin1Char('/')) {
            encoded += QLatin1String("%2F");
        } else if (c == QLatin1Char('\\')) {
            encoded += QLatin1String("%5C");
        } else {
            encoded += c;
        }
    }
    return encoded;
}

QString decodeKey(const QString& encoded)
{
    QString key = encoded;
    key.replace(QLatin1String("%2F"), QLatin1String("/"));
    key.replace(QLatin1String("%5C"), QLatin1String("\\"));
    key.replace(QLatin1String("%25"), QLatin1String("%"));
    return key;
}

std::optional<bool> parseBool(const QVariant& stored)
{
    if (stored.typeId() == QMetaType::Bool) {
        return stored.toBool();
    }
    const QString text = stored.toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1") || text == QLatin1String("yes")) {
        return true;
    }
    if (text == QLatin1String("false") || text == QLatin1String("0") || text == QLatin1String("no") || text.isEmpty()) {
        return false;
    }
    return std::nullopt;
}

// Converts a stored value to the type of the registered default; nullopt when it does not convert,
// so a damaged entry reads as the default rather than as a wrong value.
std::optional<QVariant> coerce(const QVariant& stored, const QVariant& like)
{
    if (!like.isValid() || stored.typeId() == like.typeId()) {
        return stored;
    }
    bool ok = true;
    switch (like.typeId()) {
    case QMetaType::Bool:
        if (const auto flag = parseBool(stored)) {
            return QVariant(*flag);
        }
        return std::nullopt;
    case QMetaType::Double:
    case QMetaType::Float: {
        const double number = stored.toString().trimmed().toDouble(&ok);
        return ok ? std::optional<QVariant>(number) : std::nullopt;
    }
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong: {
        const qlonglong number = stored.toString().trimmed().toLongLong(&ok);
        return ok ? std::optional<QVariant>(number) : std::nullopt;
    }
    case QMetaType::QString:
        if (stored.canConvert<QString>()) {
            return QVariant(stored.toString());
        }
        return std::nullopt;
    case QMetaType::QVariantMap:
        // An empty dictionary cannot be a group; it is stored as an empty text.
        if (stored.toString().isEmpty()) {
            return QVariant(QVariantMap());
        }
        return std::nullopt;
    default:
        return stored;
    }
}

QVariantMap readGroup(QSettings& settings, const QVariantMap& like)
{
    QVariantMap map;
    const QStringList keys = settings.childKeys();
    for (const QString& encoded : keys) {
        const QString key = decodeKey(encoded);
        if (const auto value = coerce(settings.value(encoded), like.value(key))) {
            map.insert(key, *value);
        }
    }
    const QStringList groups = settings.childGroups();
    for (const QString& encoded : groups) {
        const QString key = decodeKey(encoded);
        settings.beginGroup(encoded);
        map.insert(key, readGroup(settings, like.value(key).toMap()));
        settings.endGroup();
    }
    return map;
}

// Counts changes made through every store of the process; a read cache is good while it stands still.
std::atomic<quint64> changeCount {1};

void noteChange()
{
    changeCount.fetch_add(1, std::memory_order_relaxed);
}

void writeValue(QSettings& settings, const QString& encodedKey, const QVariant& value)
{
    if (value.typeId() != QMetaType::QVariantMap) {
        settings.setValue(encodedKey, value);
        return;
    }
    const QVariantMap map = value.toMap();
    if (map.isEmpty()) {
        settings.setValue(encodedKey, QString());
        return;
    }
    settings.beginGroup(encodedKey);
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        writeValue(settings, encodeKey(it.key()), it.value());
    }
    settings.endGroup();
}

} // namespace

UserDefaults::UserDefaults(const QString& filePath)
    : m_settings(std::make_unique<QSettings>(filePath, QSettings::IniFormat))
{
    noteChange();
}

UserDefaults::~UserDefaults()
{
    QMutexLocker locker(&m_mutex);
    m_settings->sync();
}

UserDefaults& UserDefaults::standard()
{
    static UserDefaults instance(standardFilePath());
    return instance;
}

QString UserDefaults::standardFilePath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(folder).filePath(QStringLiteral("Keymoor/Keymoor.conf"));
}

QString UserDefaults::filePath() const
{
    QMutexLocker locker(&m_mutex);
    return m_settings->fileName();
}

void UserDefaults::registerDefaults(const QVariantMap& defaults)
{
    QMutexLocker locker(&m_mutex);
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it) {
        m_registered.insert(it.key(), it.value());
    }
    noteChange();
}

void UserDefaults::unregisterDefault(const QString& key)
{
    QMutexLocker locker(&m_mutex);
    m_registered.remove(key);
    noteChange();
}

QVariant UserDefaults::registeredValue(const QString& key) const
{
    QMutexLocker locker(&m_mutex);
    return m_registered.value(key);
}

std::optional<QVariant> UserDefaults::userValueLocked(const QString& key) const
{
    const QString encoded = encodeKey(key);
    const QVariant registered = m_registered.value(key);
    if (m_settings->childGroups().contains(encoded)) {
        m_settings->beginGroup(encoded);
        QVariantMap map = readGroup(*m_settings, registered.toMap());
        m_settings->endGroup();
        return QVariant(std::move(map));
    }
    if (!m_settings->contains(encoded)) {
        return std::nullopt;
    }
    return coerce(m_settings->value(encoded), registered);
}

QVariant UserDefaults::value(const QString& key) const
{
    QMutexLocker locker(&m_mutex);
    const quint64 stamp = changeCount.load(std::memory_order_relaxed);
    if (stamp != m_readCacheStamp) {
        m_readCache.clear();
        m_readCacheStamp = stamp;
    }
    if (const auto cached = m_readCache.constFind(key); cached != m_readCache.cend()) {
        return cached.value();
    }
    const auto user = userValueLocked(key);
    return m_readCache.insert(key, user ? *user : m_registered.value(key)).value();
}

bool UserDefaults::hasUserValue(const QString& key) const
{
    QMutexLocker locker(&m_mutex);
    const QString encoded = encodeKey(key);
    return m_settings->contains(encoded) || m_settings->childGroups().contains(encoded);
}

bool UserDefaults::setValue(const QString& key, const QVariant& value, QString* error)
{
    QMutexLocker locker(&m_mutex);
    const QString encoded = encodeKey(key);
    m_settings->remove(encoded);
    if (value.isValid()) {
        writeValue(*m_settings, encoded, value);
    }
    return syncLocked(error);
}

bool UserDefaults::removeValue(const QString& key, QString* error)
{
    return setValue(key, QVariant(), error);
}

bool UserDefaults::boolValue(const QString& key) const
{
    const QVariant stored = value(key);
    return stored.isValid() && parseBool(stored).value_or(false);
}

QString UserDefaults::stringValue(const QString& key) const
{
    return value(key).toString();
}

double UserDefaults::doubleValue(const QString& key) const
{
    return value(key).toDouble();
}

QVariantMap UserDefaults::dictionaryValue(const QString& key) const
{
    return value(key).toMap();
}

bool UserDefaults::synchronize(QString* error)
{
    QMutexLocker locker(&m_mutex);
    return syncLocked(error);
}

bool UserDefaults::syncLocked(QString* error)
{
    m_settings->sync(); // may also read what other processes wrote
    noteChange();
    switch (m_settings->status()) {
    case QSettings::NoError:
        return true;
    case QSettings::AccessError:
        if (error) {
            *error = QStringLiteral("Could not write the settings file %1.").arg(m_settings->fileName());
        }
        return false;
    case QSettings::FormatError:
        if (error) {
            *error = QStringLiteral("The settings file %1 is damaged.").arg(m_settings->fileName());
        }
        return false;
    }
    return false;
}
