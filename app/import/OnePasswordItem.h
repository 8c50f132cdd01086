#pragma once

#include "ForeignFormatReader.h"
#include "ZipArchive.h"

#include <QJsonObject>
#include <QStringList>

// One item of a 1Password export and how its fields land in a record. Fields are matched by
// their identifier or, for fields people added themselves, by their title.
class OnePasswordItem
{
public:
    explicit OnePasswordItem(const QJsonObject& item);

    QString title() const;
    // Archived or deleted items are not imported.
    bool isPassedOver() const;
    bool isDocument() const;
    // A software licence item, or any item with a licence key field.
    bool isLicence() const;

    // The record of the item; file fields become attachments from `entries` (those over the
    // attachment limit or missing are left out with a warning).
    ForeignRecord record(const QList<ZipArchive::Entry>& entries, const ForeignReadLimits& limits,
                         QStringList* warnings) const;
    // Adds the document of a Document item to the record's attachments.
    void attachDocument(const QList<ZipArchive::Entry>& entries, const ForeignReadLimits& limits, ForeignRecord* record,
                        QStringList* warnings) const;

private:
    QJsonObject m_item;
    QJsonObject m_details;
};
