#pragma once

#include <QString>
#include <QStringList>

// The user's default mail program, as the desktop's MIME associations name it: the program that
// "xdg-mime query default x-scheme-handler/mailto" answers (run directly, with an argument vector
// and a time limit), and the name in that program's desktop file.
class DefaultMailProgram
{
public:
    static constexpr int DefaultTimeoutMs = 5000;

    DefaultMailProgram();

    // The query program; default: "xdg-mime" found on PATH when the query runs.
    void setQueryProgram(const QString& program) { m_queryProgram = program; }
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    // Where desktop files are looked for; default: DesktopEntry::standardApplicationFolders().
    void setApplicationFolders(const QStringList& folders) { m_applicationFolders = folders; }

    // The desktop file ID of the default mail program ("mail-client.desktop"); empty (with an
    // error) when the query program is missing, fails, takes too long or answers something that
    // is no desktop file ID.
    QString desktopFileId(QString* error = nullptr) const;

    // The program's name from its desktop file ("Mail Client"); empty when it is unknown.
    QString applicationName(QString* error = nullptr) const;

private:
    QString m_queryProgram;
    int m_timeoutMs = DefaultTimeoutMs;
    QStringList m_applicationFolders;
};
