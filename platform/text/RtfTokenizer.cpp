#include "RtfTokenizer.h"

#include <algorithm>
#include <climits>

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

RtfToken RtfTokenizer::next()
{
    RtfToken token;
    while (!atEnd()) {
        const char c = m_data[m_position];
        if (c == '{' || c == '}') {
            ++m_position;
            token.kind = c == '{' ? RtfToken::Kind::GroupStart : RtfToken::Kind::GroupEnd;
            return token;
        }
        if (c == '\\') {
            return readControl();
        }
        if (c == '\r' || c == '\n' || c == '\0') {
            ++m_position;
            continue;
        }
        return readText();
    }
    return token;
}

qsizetype RtfTokenizer::skipBytes(qsizetype count)
{
    const qsizetype skipped = count <= 0 ? 0 : std::min(count, m_data.size() - m_position);
    m_position += skipped;
    return skipped;
}

RtfToken RtfTokenizer::readControl()
{
    RtfToken token;
    ++m_position; // the backslash
    if (atEnd()) {
        return token;
    }
    const char first = m_data[m_position];
    if (!isLetter(first)) {
        ++m_position;
        if (first == '\'') {
            // An incomplete escape stands for nothing.
            const int high = hexValue(peek());
            if (high < 0) {
                token.kind = RtfToken::Kind::Text;
                return token;
            }
            ++m_position;
            const int low = hexValue(peek());
            if (low < 0) {
                token.kind = RtfToken::Kind::Text;
                return token;
            }
            ++m_position;
            token.kind = RtfToken::Kind::HexByte;
            token.text = QByteArray(1, char(high * 16 + low));
            return token;
        }
        token.kind = RtfToken::Kind::ControlSymbol;
        token.symbol = first == '\r' ? '\n' : first;
        return token;
    }
    token.kind = RtfToken::Kind::ControlWord;
    while (!atEnd() && isLetter(peek())) {
        if (token.word.size() < MaximumWordLength) {
            token.word.append(peek());
        }
        ++m_position;
    }
    bool negative = false;
    if (peek() == '-' && m_position + 1 < m_data.size() && isDigit(m_data[m_position + 1])) {
        negative = true;
        ++m_position;
    }
    qint64 value = 0;
    while (!atEnd() && isDigit(peek())) {
        token.hasParameter = true;
        value = std::min<qint64>(value * 10 + (peek() - '0'), qint64(INT_MAX) + 1);
        ++m_position;
    }
    value = negative ? -value : value;
    token.parameter = int(std::clamp<qint64>(value, INT_MIN, INT_MAX));
    if (peek() == ' ') {
        ++m_position; // the delimiting space belongs to the control word
    }
    return token;
}

RtfToken RtfTokenizer::readText()
{
    RtfToken token;
    token.kind = RtfToken::Kind::Text;
    while (!atEnd()) {
        const char c = m_data[m_position];
        if (c == '{' || c == '}' || c == '\\') {
            break;
        }
        if (c != '\r' && c != '\n' && c != '\0') {
            token.text.append(c);
        }
        ++m_position;
    }
    return token;
}
