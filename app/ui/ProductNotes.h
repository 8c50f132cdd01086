#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The notes of a product as text. They are stored as UTF-8 bytes in "comments"; records written by
// older versions may hold RTF instead, which is shown as its plain text and becomes UTF-8 the first
// time the person edits it.
class ProductNotes
{
public:
    ProductNotes() = delete;

    struct Text
    {
        QString text;
        bool richText = false; // the bytes were RTF (or not UTF-8): saving will convert them
    };

    // The notes of stored bytes. Bytes that are neither UTF-8 nor readable RTF give the text that
    // could be recovered, never an error: the record itself is left as it is.
    static Text fromComments(const QByteArray& bytes);
    // The bytes to store for a text: UTF-8, or nothing at all for an empty text.
    static QByteArray toComments(const QString& text);

    // The characters of an RTF document without its formatting, or nullopt when the bytes are not
    // RTF ("{\rtf" at the start, after white space).
    static std::optional<QString> plainTextFromRtf(const QByteArray& rtf);
};
