#pragma once

#include <QByteArray>
#include <QByteArrayView>

// One lexical element of a rich-text document.
struct RtfToken
{
    enum class Kind {
        End, // no more input
        GroupStart, // "{"
        GroupEnd, // "}"
        ControlWord, // "\word" with an optional signed number
        ControlSymbol, // "\" and one character that is not a letter ("\~", "\*", "\\" ...)
        HexByte, // "\'hh": one byte of the document's code page
        Text, // a run of plain bytes (line breaks and NUL bytes are left out)
    };

    Kind kind = Kind::End;
    QByteArray word; // control word name
    int parameter = 0; // control word number, clamped to the range of int
    bool hasParameter = false;
    char symbol = 0; // control symbol character; '\n' for "\" followed by a line break
    QByteArray text; // HexByte: the one byte; Text: the run
};

// Splits rich-text bytes into tokens. Malformed input never fails: a backslash at the end, an
// incomplete "\'" escape or an over-long control word are read as far as they go.
class RtfTokenizer
{
public:
    // Longest control word name kept; the letters beyond it are read and dropped.
    static constexpr qsizetype MaximumWordLength = 32;

    explicit RtfTokenizer(QByteArrayView data)
        : m_data(data)
    { }

    RtfToken next();

    // Skips up to `count` raw bytes (the data of "\binN"); answers how many were skipped.
    qsizetype skipBytes(qsizetype count);

    qsizetype position() const { return m_position; }

private:
    RtfToken readControl();
    RtfToken readText();
    char peek() const { return m_position < m_data.size() ? m_data[m_position] : '\0'; }
    bool atEnd() const { return m_position >= m_data.size(); }

    QByteArrayView m_data;
    qsizetype m_position = 0;
};
