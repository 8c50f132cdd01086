#pragma once

#include <QString>
#include <QStringList>

// Finds the mbox files of Thunderbird's mail folders: every file of a folder and of its ".sbd"
// folders (which hold subfolders), recursively, that starts with a "From " line, leaving out the index
// and state files (".msf", ".dat", ".json", "filterlog.html", ...) and, unless asked, the Trash and
// Junk folders with their subfolders. Files come in name order, a folder's subfolders right after it.
class ThunderbirdMailFolders
{
public:
    explicit ThunderbirdMailFolders(bool includeTrashAndJunk);

    // Whether the folder looks like a Thunderbird profile (prefs.js, Mail/ or ImapMail/).
    static bool isProfile(const QString& path);

    // The mbox files of a profile: those of each account folder under Mail/, then under ImapMail/.
    QStringList mboxFilesOfProfile(const QString& profile) const;

    // The mbox files under one folder.
    QStringList mboxFiles(const QString& folder) const;

private:
    void collect(const QString& folder, int depth, QStringList& files) const;
    bool isSkippedName(const QString& name) const;

    bool m_includeTrashAndJunk;
};
