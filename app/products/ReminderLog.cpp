#include "ReminderLog.h"

#include "base/FileWriting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

ReminderLog::ReminderLog(QString path)
    : m_path(std::move(path))
{ }

QString ReminderLog::defaultPath()
{
    QString state = QFile::decodeName(qgetenv("XDG_STATE_HOME"));
    // Only an absolute path counts; anything else is ignored as the base directory rules say.
    if (state.isEmpty() || QDir::isRelativePath(state)) {
        state = QDir::home().filePath(QStringLiteral(".local/state"));
    }
    return QDir(state).filePath(QStringLiteral("Keymoor/reminders.json"));
}

bool ReminderLog::load()
{
    m_days.clear();
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        return false;
    }
    const QJsonObject days = document.object();
    for (auto it = days.begin(); it != days.end(); ++it) {
        const QDate day = QDate::fromString(it.value().toString(), Qt::ISODate);
        if (day.isValid()) {
            m_days.insert(it.key(), day);
        }
    }
    return true;
}

bool ReminderLog::save(const QDate& today, QString* error) const
{
    QJsonObject days;
    for (auto it = m_days.begin(); it != m_days.end(); ++it) {
        if (it.value() >= today) {
            days.insert(it.key(), it.value().toString(Qt::ISODate));
        }
    }
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath())) {
        if (error) {
            *error = QStringLiteral("%1: the folder could not be created").arg(QFileInfo(m_path).absolutePath());
        }
        return false;
    }
    return FileWriting::writeData(QJsonDocument(days).toJson(QJsonDocument::Indented), m_path, error);
}
