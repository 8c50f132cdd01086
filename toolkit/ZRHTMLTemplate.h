#pragma once

#include "ZRKitGlobal.h"

#include <QString>
#include <QVariantMap>

// Fills a text template (typically an HTML page) from a dictionary: every "{key}" is replaced by
// the text of the key's value. No loops, conditions or escaping; text that is not the placeholder
// of a key in the dictionary, stray braces included, is left alone.
class ZRKIT_EXPORT ZRHTMLTemplate
{
public:
    // Bits of keySearchOptions; other bits are ignored.
    enum SearchOption : uint {
        CaseInsensitiveSearch = 1,
        LiteralSearch = 2,
    };

    // A template of the given text, searched literally.
    explicit ZRHTMLTemplate(const QString& htmlTemplate = QString());

    // A template read from a UTF-8 file. A file that cannot be read, is not UTF-8 or is empty is
    // logged and gives an empty template.
    static ZRHTMLTemplate initWithContentsOfFile(const QString& path);

    QString htmlTemplate() const { return m_htmlTemplate; }
    void setHtmlTemplate(const QString& htmlTemplate) { m_htmlTemplate = htmlTemplate; }

    uint keySearchOptions() const { return m_keySearchOptions; }
    void setKeySearchOptions(uint options) { m_keySearchOptions = options; }

    // The template with the placeholders of the dictionary's keys filled, one key at a time in the
    // dictionary's order, each over the text produced so far. Values are written as their text
    // (numbers in decimal, dates in ISO 8601, null as empty text).
    QString htmlForDictionary(const QVariantMap& dictionary) const;

    // Largest template file read.
    static constexpr qint64 MaximumFileSize = 64 * 1024 * 1024;

private:
    QString m_htmlTemplate;
    uint m_keySearchOptions = LiteralSearch;
};
