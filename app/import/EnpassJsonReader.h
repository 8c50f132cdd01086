#pragma once

#include "ForeignFormatReader.h"

// Reads the JSON export of the Enpass password manager: "folders" (uuid, title) and "items", each
// with "title", "category", "template_type", "note", "folders" (uuids), "fields" (label, type,
// value; "section" fields are headings without a value, deleted fields are left out) and
// "attachments" (name, base64 "data") when the export holds them. Items in the trash are left out.
// An item is a licence by a licence field or when its category or template names software or
// licences.
class EnpassJsonReader : public ForeignFormatReader
{
public:
    QString name() const override { return QStringLiteral("Enpass JSON"); }
    bool recognises(const QByteArray& head) const override;
    ForeignReadResult read(const QByteArray& bytes, const ForeignReadLimits& limits) const override;
};
