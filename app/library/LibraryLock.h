#pragma once

#include <QString>

// Makes one process at a time the writer of a library folder. The lock is a file beside the folder
// ("<folder>.lock"), so backups and exports of the folder never carry it. The kernel holds the lock
// (an open-file-description lock on that file), so it ends with its process however the process
// ends: a lock file left behind by a crash, empty, unreadable or written by another program, blocks
// nobody. The holder writes its process id, program and host into the file for the refusal message.
class LibraryLock
{
public:
    explicit LibraryLock(const QString& libraryFolder);
    ~LibraryLock(); // releases the lock

    LibraryLock(const LibraryLock&) = delete;
    LibraryLock& operator=(const LibraryLock&) = delete;

    static QString lockFilePath(const QString& libraryFolder);

    // Takes the lock without waiting. On refusal `error` names the process holding it when known.
    bool tryLock(QString* error = nullptr);
    void unlock();
    bool isLocked() const { return m_fd >= 0; }

private:
    enum class Attempt { Taken, Held, Retry, Failed };
    Attempt attempt(QString* error);
    int openLockFile(QString* error) const;
    void writeHolder() const;
    QString holderDescription() const;

    QString m_folder;
    QString m_path;
    int m_fd = -1;
};
