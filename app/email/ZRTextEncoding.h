#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Text-encoding identifiers as recorded with stored e-mails. The numbers are those of the string
// encodings of the catalogue's original platform, so encodings recorded in libraries written there
// keep their meaning. Bytes are decoded with ICU converters.
class ZRTextEncoding
{
public:
    using Id = quint32;

    static constexpr Id ASCII = 1;
    static constexpr Id JapaneseEUC = 3;
    static constexpr Id UTF8 = 4;
    static constexpr Id ISOLatin1 = 5;
    static constexpr Id ShiftJIS = 8;
    static constexpr Id ISOLatin2 = 9;
    static constexpr Id UTF16 = 10; // byte-order mark decides; big-endian without one
    static constexpr Id WindowsCP1251 = 11;
    static constexpr Id WindowsCP1252 = 12;
    static constexpr Id WindowsCP1253 = 13;
    static constexpr Id WindowsCP1254 = 14;
    static constexpr Id WindowsCP1250 = 15;
    static constexpr Id ISO2022JP = 21;
    static constexpr Id MacOSRoman = 30;
    static constexpr Id UTF32 = 0x8c000100;
    static constexpr Id UTF16BigEndian = 0x90000100;
    static constexpr Id UTF16LittleEndian = 0x94000100;
    static constexpr Id UTF32BigEndian = 0x98000100;
    static constexpr Id UTF32LittleEndian = 0x9c000100;

    // The ICU converter name of an encoding, or nullptr for one we do not know.
    static const char* converterName(Id encoding);
    static bool isKnown(Id encoding) { return converterName(encoding) != nullptr; }

    // Decodes the bytes; nothing if the encoding is unknown or any byte sequence is invalid in it.
    // A leading byte-order mark of a Unicode encoding is dropped.
    static std::optional<QString> decodeStrictly(const QByteArray& bytes, Id encoding);
    // Decodes the bytes, putting U+FFFD in place of invalid sequences; UTF-8 for an unknown encoding.
    // ASCII is read as UTF-8, its superset, so mislabelled text keeps its characters.
    static QString decode(const QByteArray& bytes, Id encoding);

    // The encoding a charset name stands for, by case-insensitive containment in a fixed order
    // ("UTF-8", "windows-1252", "ISO-8859-1", "ISO-8859-2", "windows-1251", "windows-1253",
    // "windows-1254", "windows-1250", "ISO-2022", "macintosh", "ascii", "Shift_JIS", "EUC-JP"); UTF-8
    // when none is contained. The text is usually a whole Content-Type value, so "ISO-8859-15" gives
    // ISO 8859-1 and "us-ascii" gives ASCII.
    static Id encodingFromAlias(const QString& charset);
};
