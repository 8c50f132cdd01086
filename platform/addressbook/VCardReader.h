#pragma once

#include "AddressBookCard.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Reads the first card of a vCard file (versions 2.1, 3.0 and 4.0): the formatted name (FN), the
// structured name (N), the organisation (ORG) and the e-mail addresses (EMAIL) with their labels
// and preference. Folded lines are joined, quoted-printable values (version 2.1) decoded, values
// read in their CHARSET or else as UTF-8 (Windows-1252 when they are not UTF-8). Other
// properties, and cards nested in the first one, are passed over.
class VCardReader
{
public:
    // Larger than any card, even one with a photo.
    static constexpr qint64 MaximumSize = 16 * 1024 * 1024;

    std::optional<AddressBookCard> readData(const QByteArray& data);
    std::optional<AddressBookCard> readFile(const QString& path);

    QString errorString() const { return m_error; }

private:
    std::optional<AddressBookCard> fail(const QString& error);

    QString m_error;
};
