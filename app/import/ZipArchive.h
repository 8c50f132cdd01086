#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Reads a zip archive held in memory, refusing anything that could harm the machine or the folder
// it would be unpacked into. The whole archive is read or nothing is: any refused entry refuses
// the archive with a message that names it.
class ZipArchive
{
public:
    struct Limits
    {
        qint64 maximumEntrySize = qint64(64) * 1024 * 1024; // declared and actually inflated
        qint64 maximumTotalSize = qint64(256) * 1024 * 1024; // all entries together, inflated
        qint64 maximumEntries = 10000;
    };

    struct Entry
    {
        QString name; // the path inside the archive, '/'-separated, never absolute, no ".." part
        QByteArray bytes;
    };

    // Reads every file of the archive (folders are passed over). Refused: no zip, a damaged zip
    // (checksums included), encrypted entries, names that are absolute or leave their folder,
    // entries or a total beyond the limits (reading stops as soon as a limit is passed, whatever
    // the entry declares). Answers false and fills `error` then.
    static bool readAll(const QByteArray& zip, const Limits& limits, QList<Entry>* entries, QString* error);

    // Whether a name stays inside the folder it is unpacked into.
    static bool isSafeEntryName(const QString& name);
};
