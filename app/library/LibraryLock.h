#pragma once

#include <QString>

#include <memory>

class QLockFile;

// Makes one process at a time the writer of a library folder. The lock is a file beside the folder
// ("<folder>.lock"), so backups and exports of the folder never carry it. A lock left by a process
// that has died is taken over; one held by a running process is refused, however old it is.
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
    bool isLocked() const;

private:
    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
};
