#pragma once

#include <QDate>
#include <QHash>
#include <QString>

// The day each product was last reminded of, so that reminders come at most once per product and
// day. Kept as a small JSON object (UUID: ISO date) in the state folder; a missing or unreadable
// file is an empty log (the next save replaces it), never an error.
class ReminderLog
{
public:
    explicit ReminderLog(QString path = defaultPath());

    // $XDG_STATE_HOME/Keymoor/reminders.json, with ~/.local/state when XDG_STATE_HOME is not set.
    static QString defaultPath();

    const QString& path() const { return m_path; }
    // Reads the file; answers false (and keeps an empty log) when it is missing or unreadable.
    bool load();
    bool wasRemindedOn(const QString& uuid, const QDate& day) const { return m_days.value(uuid) == day; }
    void markReminded(const QString& uuid, const QDate& day) { m_days.insert(uuid, day); }
    // Writes the days from `today` on (older ones no longer matter), atomically, creating the folder.
    bool save(const QDate& today, QString* error = nullptr) const;

private:
    QString m_path;
    QHash<QString, QDate> m_days;
};
