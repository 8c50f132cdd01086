#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Reads the plain text of a rich-text (RTF) document: the characters a reader would see, with
// paragraph and line breaks as "\n" and tabs as "\t". Fonts, colours, styles, pictures, document
// information and every "\*" destination are left out. Bytes given as "\'hh" or written directly
// are read in the document's code page ("\ansicpg", "\mac", "\pc", "\pca"; Windows-1252 when none
// is named) or in the character set of the current font; "\uN" characters are taken as they are
// and their "\ucN" fallback characters are skipped.
//
// A document that ends before its groups are closed gives the text read up to there
// (isTruncated() tells). Input that is no rich text, larger than MaximumSize or nested deeper
// than MaximumDepth gives no text and an error.
class RtfReader
{
public:
    static constexpr qint64 MaximumSize = 64 * 1024 * 1024;
    static constexpr int MaximumDepth = 256;

    // Reads rich-text bytes. Bytes of a flattened rich-text package (starting with "rtfd") are
    // read through the rich-text document they hold.
    std::optional<QString> readData(const QByteArray& data);

    // Reads a rich-text file, or a rich-text package folder (".rtfd") through its "TXT.rtf".
    std::optional<QString> readFile(const QString& path);

    // True when the bytes start, after white space, with "{\rtf".
    static bool isRichText(const QByteArray& data);

    bool isTruncated() const { return m_truncated; }
    QString errorString() const { return m_error; }

private:
    std::optional<QString> fail(const QString& error);

    bool m_truncated = false;
    QString m_error;
};
