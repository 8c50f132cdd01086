#pragma once

#include "ForeignFormatReader.h"

// Reads the unencrypted JSON export of the Bitwarden password manager: "folders" (id, name) and
// "items" of every type (1 login, 2 secure note, 3 card, 4 identity) with "name", "notes", the
// custom "fields" (name, value) and the type's own object. The login's first URI is the website;
// an identity's name, e-mail and company are the registration; a card's values are kept as
// imported fields. An encrypted export is refused: it can only be read with the vault's key.
class BitwardenJsonReader : public ForeignFormatReader
{
public:
    QString name() const override { return QStringLiteral("Bitwarden JSON"); }
    bool recognises(const QByteArray& head) const override;
    ForeignReadResult read(const QByteArray& bytes, const ForeignReadLimits& limits) const override;
};
