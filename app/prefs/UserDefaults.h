#pragma once

#include <QHash>
#include <QMutex>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

class QSettings;

// The per-user defaults store: an INI settings file plus an in-memory registration layer.
//
// Registered defaults are never written; a value the user sets overrides the registered one and
// removing it brings the registered value back. Values read back are converted to the type of the
// registered default (INI files keep only text). Dictionaries are stored as groups, one entry per
// dictionary key, so the file stays readable. Safe to use from several threads.
class UserDefaults
{
public:
    // A store backed by the settings file at `filePath` (created on the first write).
    explicit UserDefaults(const QString& filePath);
    ~UserDefaults();

    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    // The application's store: "Keymoor/Keymoor.conf" in the user's configuration folder.
    static UserDefaults& standard();
    static QString standardFilePath();

    QString filePath() const;

    // Adds (or replaces) entries of the registration layer.
    void registerDefaults(const QVariantMap& defaults);
    void unregisterDefault(const QString& key);
    QVariant registeredValue(const QString& key) const;

    // The user's value if there is one, else the registered default, else an invalid QVariant.
    QVariant value(const QString& key) const;
    bool hasUserValue(const QString& key) const;

    // Stores a user value and writes the file. An invalid QVariant removes the user value.
    // Answers false (with `error`) when the file could not be written.
    bool setValue(const QString& key, const QVariant& value, QString* error = nullptr);
    bool removeValue(const QString& key, QString* error = nullptr);

    // Typed reads. A key without any value reads as false, an empty text, 0 or an empty dictionary.
    bool boolValue(const QString& key) const;
    QString stringValue(const QString& key) const;
    double doubleValue(const QString& key) const;
    QVariantMap dictionaryValue(const QString& key) const;

    // Writes pending changes and picks up changes other processes made to the file.
    bool synchronize(QString* error = nullptr);

private:
    std::optional<QVariant> userValueLocked(const QString& key) const;
    bool syncLocked(QString* error);

    mutable QMutex m_mutex;
    std::unique_ptr<QSettings> m_settings;
    QVariantMap m_registered;
    // Values read since the last change made through any store of this process (several may
    // share one file): new products read settings one by one, thousands of times in an import.
    mutable QHash<QString, QVariant> m_readCache;
    mutable quint64 m_readCacheStamp = 0;
};
