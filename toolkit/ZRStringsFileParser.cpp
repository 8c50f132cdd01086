#include "ZRStringsFileParser.h"

namespace {

bool isUnquotedCharacter(QChar c)
{
    if (c.unicode() >= 0x80) {
        return false;
    }
    return c.isLetterOrNumber() || QStringView(u"_$+/:.-").contains(c);
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    return -1;
}

} // namespace

ZRStringsFileParser::ZRStringsFileParser(QStringView text)
    : m_text(text)
{
    if (m_text.startsWith(QChar(QChar::ByteOrderMark))) {
        m_text = m_text.sliced(1);
    }
}

std::optional<QVariantMap> ZRStringsFileParser::parse(QString* error)
{
    QVariantMap table;
    bool ok = skipSpaceAndComments();
    if (ok && peek() == QLatin1Char('{')) {
        ++m_position;
        ok = parseEntries(&table, true) && skipSpaceAndComments();
        if (ok && !atEnd()) {
            ok = fail(QStringLiteral("text after the closing brace"));
        }
    } else if (ok) {
        ok = parseEntries(&table, false);
    }
    if (!ok) {
        if (error) {
            *error = m_error;
        }
        return std::nullopt;
    }
    return table;
}

bool ZRStringsFileParser::parseEntries(QVariantMap* table, bool inBraces)
{
    while (skipSpaceAndComments()) {
        if (atEnd()) {
            return inBraces ? fail(QStringLiteral("missing closing brace")) : true;
        }
        if (inBraces && peek() == QLatin1Char('}')) {
            ++m_position;
            return true;
        }
        const std::optional<QString> key = parseString();
        if (!key || !skipSpaceAndComments()) {
            return false;
        }
        QString value = *key;
        if (peek() == QLatin1Char('=')) {
            ++m_position;
            if (!skipSpaceAndComments()) {
                return false;
            }
            const std::optional<QString> parsed = parseString();
            if (!parsed || !skipSpaceAndComments()) {
                return false;
            }
            value = *parsed;
        }
        if (peek() != QLatin1Char(';')) {
            return fail(QStringLiteral("expected \";\""));
        }
        ++m_position;
        table->insert(*key, value);
    }
    return false;
}

std::optional<QString> ZRStringsFileParser::parseString()
{
    if (peek() == QLatin1Char('"')) {
        return parseQuoted();
    }
    const QString word = parseUnquoted();
    if (word.isEmpty()) {
        fail(QStringLiteral("expected a string"));
        return std::nullopt;
    }
    return word;
}

std::optional<QString> ZRStringsFileParser::parseQuoted()
{
    ++m_position; // opening quote
    QString out;
    while (!atEnd()) {
        const QChar c = m_text[m_position++];
        if (c == QLatin1Char('"')) {
            return out;
        }
        if (c != QLatin1Char('\\')) {
            out.append(c);
        } else if (!parseEscape(&out)) {
            return std::nullopt;
        }
    }
    fail(QStringLiteral("unterminated string"));
    return std::nullopt;
}

QString ZRStringsFileParser::parseUnquoted()
{
    const qsizetype start = m_position;
    while (!atEnd() && isUnquotedCharacter(peek())) {
        ++m_position;
    }
    return m_text.sliced(start, m_position - start).toString();
}

bool ZRStringsFileParser::parseEscape(QString* out)
{
    if (atEnd()) {
        return fail(QStringLiteral("unterminated string"));
    }
    const QChar c = m_text[m_position++];
    switch (c.unicode()) {
    case u'n':
        out->append(QLatin1Char('\n'));
        return true;
    case u't':
        out->append(QLatin1Char('\t'));
        return true;
    case u'r':
        out->append(QLatin1Char('\r'));
        return true;
    case u'a':
        out->append(QChar(0x07));
        return true;
    case u'b':
        out->append(QChar(0x08));
        return true;
    case u'f':
        out->append(QChar(0x0c));
        return true;
    case u'v':
        out->append(QChar(0x0b));
        return true;
    case u'U':
    case u'u': {
        int code = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = atEnd() ? -1 : hexValue(m_text[m_position]);
            if (digit < 0) {
                return fail(QStringLiteral("\\U needs four hexadecimal digits"));
            }
            code = code * 16 + digit;
            ++m_position;
        }
        out->append(QChar(char16_t(code)));
        return true;
    }
    default:
        break;
    }
    if (c >= QLatin1Char('0') && c <= QLatin1Char('7')) {
        int code = c.unicode() - u'0';
        for (int i = 0; i < 2 && !atEnd() && peek() >= QLatin1Char('0') && peek() <= QLatin1Char('7'); ++i) {
            code = code * 8 + (m_text[m_position++].unicode() - u'0');
        }
        out->append(QChar(char16_t(code)));
        return true;
    }
    out->append(c); // \" \\ \' and any other character stand for themselves
    return true;
}

bool ZRStringsFileParser::skipSpaceAndComments()
{
    while (!atEnd()) {
        const QChar c = peek();
        if (c.isSpace()) {
            ++m_position;
        } else if (m_text.sliced(m_position).startsWith(u"//")) {
            const qsizetype end = m_text.indexOf(QLatin1Char('\n'), m_position);
            m_position = end < 0 ? m_text.size() : end + 1;
        } else if (m_text.sliced(m_position).startsWith(u"/*")) {
            const qsizetype end = m_text.indexOf(u"*/", m_position + 2);
            if (end < 0) {
                return fail(QStringLiteral("unterminated comment"));
            }
            m_position = end + 2;
        } else {
            return true;
        }
    }
    return true;
}

bool ZRStringsFileParser::fail(const QString& message)
{
    const qsizetype line = m_text.first(std::min(m_position, m_text.size())).count(QLatin1Char('\n')) + 1;
    m_error = QStringLiteral("line %1: %2").arg(line).arg(message);
    return false;
}
