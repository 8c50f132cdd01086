#pragma once

#include "ZRManagedObject.h"

#include <QByteArray>

// Base of the records whose bytes live in a file of the library folder, named by the record's
// `uuid`: attachment contents and icons.
class ZRExternalFile : public ZRManagedObject
{
public:
    QString uuid() const { return stringValue(QStringLiteral("uuid")); }

    // Where the bytes are; empty in this base class, each subclass knows its folder.
    virtual QString filePath() const;
    // The bytes of the file at filePath(); null (with a log line) when there is none.
    QByteArray contentData() const;

    // "filePath" and "contentData" are derived keys, unless the entity stores a value of that name
    // (older models kept the bytes in the record as "contentData").
    QVariant value(const QString& key) const override;

protected:
    // Gives the record its UUID.
    void awakeFromInsert() override;
};
