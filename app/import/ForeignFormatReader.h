#pragma once

#include "ForeignReadResult.h"

#include <QByteArray>
#include <QString>

// The bounds every reader keeps to, so that a hostile or broken file cannot exhaust the machine.
struct ForeignReadLimits
{
    qint64 maximumFileSize = qint64(256) * 1024 * 1024;
    qint64 maximumFieldSize = qint64(1024) * 1024; // one text value; a longer one refuses the file
    qint64 maximumAttachmentSize = qint64(20) * 1024 * 1024; // a larger attachment is skipped with a warning
    int maximumDepth = 64; // nesting of elements, objects, arrays or groups
};

// Reads one kind of foreign export (a password manager's, an asset register's) into records.
// Readers are stateless and may run on any thread; they never touch the catalogue.
//
// To add a format: derive from this class in app/import, recognise the file by its content (the
// first bytes are enough for every format so far; the extension is never trusted alone), and add
// an instance to ForeignFormatRegistry::standard().
class ForeignFormatReader
{
public:
    virtual ~ForeignFormatReader() = default;

    // A short name for messages and the command line's JSON, e.g. "KeePass XML".
    virtual QString name() const = 0;
    // Whether the bytes are this format. `head` is the start of the file (at most 64 KiB).
    virtual bool recognises(const QByteArray& head) const = 0;
    // Reads the whole file. Records of entries that are no licence are not made; they are counted
    // in skippedNotLicence. Bad input answers a result with an error and no records.
    virtual ForeignReadResult read(const QByteArray& bytes, const ForeignReadLimits& limits) const = 0;
};
