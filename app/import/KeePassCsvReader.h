#pragma once

#include "ForeignFormatReader.h"

#include <QList>
#include <QStringList>

// Reads the CSV export of KeePassXC: UTF-8 text whose header row starts "Group","Title",
// "Username","Password","URL","Notes" (newer versions add "TOTP","Icon","Last Modified",
// "Created"); fields are quoted, a quote inside one doubled. The group is a path ("Root/Software");
// an entry is a licence when a group of its path names licences or software (then the password is
// its serial number) or when its notes hold a "Serial: ..." line. Entries of the recycle bin are
// left out, and so is the "Icon" column (a number of KeePassXC's icon set).
class KeePassCsvReader : public ForeignFormatReader
{
public:
    QString name() const override { return QStringLiteral("KeePassXC CSV"); }
    bool recognises(const QByteArray& head) const override;
    ForeignReadResult read(const QByteArray& bytes, const ForeignReadLimits& limits) const override;

    // The rows of comma-separated text with double quotes (RFC 4180); nullopt for a quoted field
    // that never ends.
    static std::optional<QList<QStringList>> parseRows(const QString& text);
};
