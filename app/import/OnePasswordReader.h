#pragma once

#include "ForeignFormatReader.h"

// Reads a 1Password export (.1pux): a zip holding `export.attributes`, `export.data` (JSON:
// accounts, their vaults, the vaults' items) and the documents under `files/`.
//
// Software licence items become records field by field; items of other kinds only when one of
// their fields is a licence key (their other fields go to the unmapped fields). A file field of an
// item, and the document of a Document item titled like a licence read from the same export,
// become attachments. Archived and deleted items are passed over.
class OnePasswordReader : public ForeignFormatReader
{
public:
    QString name() const override;
    bool recognises(const QByteArray& head) const override;
    ForeignReadResult read(const QByteArray& bytes, const ForeignReadLimits& limits) const override;
};
