#include "DefaultMailProgram.h"

#include "DesktopEntry.h"

#include <QProcess>
#include <QStandardPaths>

#include <algorithm>

namespace {

QString failWith(QString* error, const QString& text)
{
    if (error) {
        *error = text;
    }
    return {};
}

// An answer longer than this is no desktop file ID.
constexpr qint64 MaximumAnswerSize = 4096;

} // namespace

DefaultMailProgram::DefaultMailProgram()
    : m_applicationFolders(DesktopEntry::standardApplicationFolders())
{ }

QString DefaultMailProgram::desktopFileId(QString* error) const
{
    const QString program
        = m_queryProgram.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("xdg-mime")) : m_queryProgram;
    if (program.isEmpty()) {
        return failWith(error, QStringLiteral("xdg-mime is not installed."));
    }
    QProcess query;
    query.setProgram(program);
    query.setArguments({QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("x-scheme-handler/mailto")});
    query.setStandardInputFile(QProcess::nullDevice());
    query.start();
    // Starting may take long on a busy machine; only the answer is held to the time limit.
    if (!query.waitForStarted(std::max(m_timeoutMs, DefaultTimeoutMs))) {
        return failWith(error, QStringLiteral("%1 could not be started: %2").arg(program, query.errorString()));
    }
    if (!query.waitForFinished(m_timeoutMs)) {
        query.kill();
        query.waitForFinished(m_timeoutMs);
        return failWith(error, QStringLiteral("%1 did not answer within %2 ms.").arg(program).arg(m_timeoutMs));
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0) {
        return failWith(error, QStringLiteral("%1 failed with status %2.").arg(program).arg(query.exitCode()));
    }
    const QString answer = QString::fromUtf8(query.readAllStandardOutput().left(MaximumAnswerSize)).trimmed();
    if (answer.isEmpty()) {
        return failWith(error, QStringLiteral("No default mail program is set."));
    }
    if (!DesktopEntry::isValidId(answer)) {
        return failWith(error, QStringLiteral("%1 answered \"%2\", which is no desktop file.").arg(program, answer));
    }
    return answer;
}

QString DefaultMailProgram::applicationName(QString* error) const
{
    const QString id = desktopFileId(error);
    if (id.isEmpty()) {
        return {};
    }
    const QString path = DesktopEntry::pathForId(id, m_applicationFolders);
    if (path.isEmpty()) {
        return failWith(error, QStringLiteral("The desktop file %1 was not found.").arg(id));
    }
    const QString name = DesktopEntry::name(path);
    if (name.isEmpty()) {
        return failWith(error, QStringLiteral("%1 has no name.").arg(path));
    }
    return name;
}
