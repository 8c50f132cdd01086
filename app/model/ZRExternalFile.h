#pragma once

#include "ZRManagedObject.h"

#include <QByteArray>

// Base of the records whose bytes live in a file of the library folder, named by the record's
// `uuid`: attachment contents and icons. A stored file is written once, atomically and readable by
// the owner only, and never rewritten.
class ZRExternalFile : public ZRManagedObject
{
public:
    QString uuid() const { return stringValue(QStringLiteral("uuid")); }

    // Where the bytes are; empty in this base class, each subclass knows its folder.
    virtual QString filePath() const;
    // The bytes of the file at filePath(); null (with a log line) when there is none.
    QByteArray contentData() const;

    // Writes the bytes to filePath(); false (error filled) when there is no path or writing failed.
    bool writeContentData(const QByteArray& bytes, QString* error = nullptr) const;
    // Copies the file at `source` to filePath(); false (error filled) on failure.
    bool copyContentFromFile(const QString& source, QString* error = nullptr) const;

    // Whether a UUID can name a stored file: one plain name, no path separators, not "." or "..".
    // Records imported from elsewhere could carry anything in `uuid`.
    static bool isSafeFileName(const QString& uuid);

    // "filePath" and "contentData" are derived keys, unless the entity stores a value of that name
    // (older models kept the bytes in the record as "contentData").
    QVariant value(const QString& key) const override;

protected:
    // Gives the record its UUID.
    void awakeFromInsert() override;
    // The folder joined with the uuid, or empty after logging the line for what is missing.
    QString storedFilePath(const QString& folder, const char* missingFolderLine, const char* missingUuidLine) const;
};
