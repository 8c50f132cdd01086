#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

struct UConverter;

// Turns bytes in a legacy character set into text. Backed by an ICU converter; bytes that have no
// character in the set become U+FFFD. Move-only: each decoder owns its converter.
class TextDecoder
{
public:
    // A decoder for a character set named as in MIME or vCard ("ISO-8859-1", "windows-1252",
    // "UTF-8"). An unknown name gives an invalid decoder.
    explicit TextDecoder(const QByteArray& charsetName);

    // A decoder for a Windows code page number (1252, 1250, 932, 437, 10000 for Mac Roman, ...).
    // An unknown number gives an invalid decoder.
    static TextDecoder forCodePage(int codePage);

    TextDecoder(TextDecoder&& other) noexcept;
    TextDecoder& operator=(TextDecoder&& other) noexcept;
    ~TextDecoder();

    bool isValid() const { return m_converter != nullptr; }

    // The text of a complete byte sequence (a multi-byte character cut off at the end becomes
    // U+FFFD). An invalid decoder answers the bytes read as Latin-1.
    QString decode(const QByteArray& bytes) const;

private:
    TextDecoder() = default;

    struct Closer
    {
        void operator()(UConverter* converter) const;
    };
    std::unique_ptr<UConverter, Closer> m_converter;
};
