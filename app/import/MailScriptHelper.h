#pragma once

#include <QString>
#include <QStringList>

#include <mutex>
#include <optional>

// Runs the helper programs that stand in for scripts talking to a mail client or another catalogue
// program. A helper is an executable file, called as
//     HELPER HANDLER [ARG...]
// with the arguments as an argument vector (never through a shell). It answers on standard output
// with a list of items separated by NUL bytes (a final NUL is allowed). Exit status 0 with no output
// means "no value" (for example: no such program on this system); a non-zero exit status, a crash
// or a helper that runs longer than the time limit is an error, logged, and also gives no value.
// Calls are serialised: one helper runs at a time.
class MailScriptHelper
{
public:
    static MailScriptHelper& sharedHelper();

    // Folders searched for helpers, in order. Default: the person's own folder
    // (<data home>/Keymoor/Scripts), the installed one (<program>/../share/keymoor/Scripts) and
    // the one shipped beside the sources.
    QStringList searchFolders() const;
    void setSearchFolders(const QStringList& folders);
    // The path of the executable helper of that name, or empty when none is found.
    QString pathForScript(const QString& name) const;

    std::optional<QStringList> callInResource(const QString& helperPath, const QString& handler,
                                              const QStringList& arguments = {});

    // How long one call may take.
    void setTimeLimitMs(int milliseconds) { m_timeLimitMs = milliseconds; }

    // Splits a helper's output into its items.
    static QStringList splitItems(const QByteArray& output);

private:
    MailScriptHelper() = default;

    mutable std::mutex m_foldersMutex;
    QStringList m_folders;
    std::mutex m_callMutex;
    int m_timeLimitMs = 120000;
};
