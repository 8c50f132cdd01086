#include "JsonTextWriter.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QLocale>

#include <cmath>
#include <cstring>

void JsonTextWriter::open(char bracket)
{
    m_text += bracket;
    m_text += '\n';
    m_open.push_back({bracket == '{' ? '}' : ']', true});
}

void JsonTextWriter::end()
{
    if (m_open.empty()) {
        return;
    }
    const Container closing = m_open.back();
    m_open.pop_back();
    if (!closing.empty) {
        m_text += '\n';
    }
    indent(m_open.size());
    m_text += closing.close;
}

void JsonTextWriter::item()
{
    if (m_open.empty()) {
        return;
    }
    if (!m_open.back().empty) {
        m_text += ",\n";
    }
    m_open.back().empty = false;
    indent(m_open.size());
}

void JsonTextWriter::name(QStringView key)
{
    item();
    string(key);
    m_text += ": ";
}

void JsonTextWriter::encodedName(std::string_view quoted)
{
    item();
    m_text += quoted;
    m_text += ": ";
}

std::string JsonTextWriter::quotedName(QStringView key)
{
    JsonTextWriter writer;
    writer.string(key);
    return writer.m_text;
}

void JsonTextWriter::number(double value)
{
    if (!std::isfinite(value)) {
        m_text += "null";
        return;
    }
    // Whole numbers that fit 64 bits are written without exponent, like the document does.
    const bool whole = std::abs(value) < 18446744073709551616.0 && value == std::floor(value);
    const QByteArray text = QByteArray::number(value, whole ? 'f' : 'g', QLocale::FloatingPointShortest);
    m_text.append(text.constData(), size_t(text.size()));
}

namespace {

// How many units at the start of `text` stand for themselves in JSON text as one byte each
// (printable ASCII other than the quote and the backslash), looked at four units at a time.
qsizetype plainPrefix(const char16_t* text, qsizetype size)
{
    constexpr quint64 Ones = 0x0001000100010001;
    constexpr quint64 High = 0x8000800080008000;
    const auto hasZeroLane = [](quint64 v) { return ((v - Ones) & ~v & High) != 0; };
    qsizetype i = 0;
    for (; i + 4 <= size; i += 4) {
        quint64 v;
        std::memcpy(&v, text + i, sizeof v);
        // Every lane below 0x80 first; then no lane below 0x20, equal to '"' or equal to '\\'.
        if ((v & 0xff80ff80ff80ff80) != 0 || ((v - 0x20 * Ones) & ~v & High) != 0 || hasZeroLane(v ^ (0x22 * Ones))
            || hasZeroLane(v ^ (0x5c * Ones))) {
            break;
        }
    }
    for (; i < size; ++i) {
        const char16_t unit = text[i];
        if (unit < 0x20 || unit >= 0x80 || unit == u'"' || unit == u'\\') {
            break;
        }
    }
    return i;
}

// Writes "\\u00XX" for a unit and answers the position after it.
char* escapeUnit(char* out, char16_t unit)
{
    static const char digits[] = "0123456789abcdef";
    *out++ = '\\';
    *out++ = 'u';
    for (int shift = 12; shift >= 0; shift -= 4) {
        *out++ = digits[(unit >> shift) & 0xf];
    }
    return out;
}

// An ASCII unit that needs escaping, with its short form where JSON has one.
char* escapeAscii(char* out, char16_t unit)
{
    const char* const named = unit == u'"' ? "\""
        : unit == u'\\'                    ? "\\"
        : unit == u'\b'                    ? "b"
        : unit == u'\f'                    ? "f"
        : unit == u'\n'                    ? "n"
        : unit == u'\r'                    ? "r"
        : unit == u'\t'                    ? "t"
                                           : nullptr;
    if (!named) {
        return escapeUnit(out, unit);
    }
    *out++ = '\\';
    *out++ = *named;
    return out;
}

// Whether eight bytes hold only printable ASCII other than the quote and the backslash.
bool plainBytes(quint64 v)
{
    constexpr quint64 Ones = 0x0101010101010101;
    constexpr quint64 High = 0x8080808080808080;
    const auto hasZeroByte = [](quint64 x) { return ((x - Ones) & ~x & High) != 0; };
    return (v & High) == 0 && ((v - 0x20 * Ones) & ~v & High) == 0 && !hasZeroByte(v ^ (0x22 * Ones))
        && !hasZeroByte(v ^ (0x5c * Ones));
}

// The length of the well-formed UTF-8 sequence of a character at the start of `in` (a lead byte
// of 0x80 or above), or 0 when the bytes are not one. Byte order marks and noncharacters count as
// not well-formed, so that they take the careful way through QString.
size_t sequenceLength(const unsigned char* in, size_t available)
{
    const unsigned char lead = in[0];
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xbf;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        low = lead == 0xe0 ? 0xa0 : 0x80;
        high = lead == 0xed ? 0x9f : 0xbf;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        low = lead == 0xf0 ? 0x90 : 0x80;
        high = lead == 0xf4 ? 0x8f : 0xbf;
    }
    if (length == 0 || available < length || in[1] < low || in[1] > high) {
        return 0;
    }
    char32_t code = lead & (0xff >> (length + 1));
    for (size_t k = 1; k < length; ++k) {
        if ((in[k] & 0xc0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (in[k] & 0x3f);
    }
    const bool special = code == 0xfeff || (code >= 0xfdd0 && code <= 0xfdef) || (code & 0xfffe) == 0xfffe;
    return special ? 0 : length;
}

} // namespace

void JsonTextWriter::string(QStringView string)
{
    const auto* units = reinterpret_cast<const char16_t*>(string.utf16());
    const qsizetype plain = plainPrefix(units, string.size());
    const size_t start = m_text.size();
    if (plain == string.size()) { // the usual case: the text as it is, between quotes
        m_text.resize(start + size_t(plain) + 2);
        char* out = m_text.data() + start;
        *out++ = '"';
        for (qsizetype i = 0; i < plain; ++i) {
            *out++ = char(units[i]);
        }
        *out = '"';
        return;
    }
    // Written through a pointer into room for the longest form (six bytes a unit, "\\u001f").
    m_text.resize(start + 6 * size_t(string.size()) + 2);
    char* out = m_text.data() + start;
    const auto escape = [&out](char16_t unit) { out = escapeUnit(out, unit); };
    *out++ = '"';
    for (qsizetype i = 0; i < plain; ++i) {
        *out++ = char(units[i]);
    }
    const qsizetype size = string.size();
    for (qsizetype i = plain; i < size; ++i) {
        const char16_t unit = string[i].unicode();
        if (unit >= 0x20 && unit < 0x80 && unit != u'"' && unit != u'\\') {
            *out++ = char(unit);
            continue;
        }
        if (unit < 0x80) {
            out = escapeAscii(out, unit);
        } else if (unit < 0x800) {
            *out++ = char(0xc0 | (unit >> 6));
            *out++ = char(0x80 | (unit & 0x3f));
        } else if (!QChar::isSurrogate(unit)) {
            *out++ = char(0xe0 | (unit >> 12));
            *out++ = char(0x80 | ((unit >> 6) & 0x3f));
            *out++ = char(0x80 | (unit & 0x3f));
        } else if (QChar::isHighSurrogate(unit) && i + 1 < size && string[i + 1].isLowSurrogate()) {
            const char32_t code = QChar::surrogateToUcs4(unit, string[++i].unicode());
            *out++ = char(0xf0 | (code >> 18));
            *out++ = char(0x80 | ((code >> 12) & 0x3f));
            *out++ = char(0x80 | ((code >> 6) & 0x3f));
            *out++ = char(0x80 | (code & 0x3f));
        } else {
            escape(unit); // a lone half of a pair is no text UTF-8 can hold
        }
    }
    *out++ = '"';
    m_text.resize(size_t(out - m_text.data()));
}

void JsonTextWriter::utf8String(std::string_view utf8)
{
    const auto* in = reinterpret_cast<const unsigned char*>(utf8.data());
    const size_t size = utf8.size();
    const size_t start = m_text.size();
    m_text.resize(start + 6 * size + 2);
    char* out = m_text.data() + start;
    *out++ = '"';
    size_t i = 0;
    while (i < size) {
        for (quint64 v; i + 8 <= size; i += 8, out += 8) {
            std::memcpy(&v, in + i, sizeof v);
            if (!plainBytes(v)) {
                break;
            }
            std::memcpy(out, &v, sizeof v);
        }
        if (i == size) {
            break;
        }
        const unsigned char byte = in[i];
        if (byte < 0x80) {
            const bool plain = byte >= 0x20 && byte != '"' && byte != '\\';
            out = plain ? (*out = char(byte), out + 1) : escapeAscii(out, byte);
            ++i;
            continue;
        }
        const size_t length = sequenceLength(in + i, size - i);
        if (length == 0) {
            m_text.resize(start);
            string(QString::fromUtf8(utf8.data(), qsizetype(size)));
            return;
        }
        std::memcpy(out, in + i, length);
        out += length;
        i += length;
    }
    *out++ = '"';
    m_text.resize(size_t(out - m_text.data()));
}

bool JsonTextWriter::isPlainUtf8(std::string_view utf8)
{
    const auto* in = reinterpret_cast<const unsigned char*>(utf8.data());
    const size_t size = utf8.size();
    size_t i = 0;
    while (i < size) {
        for (quint64 v; i + 8 <= size; i += 8) {
            std::memcpy(&v, in + i, sizeof v);
            if ((v & 0x8080808080808080) != 0) {
                break;
            }
        }
        if (i == size) {
            break;
        }
        if (in[i] < 0x80) {
            ++i;
            continue;
        }
        const size_t length = sequenceLength(in + i, size - i);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

void JsonTextWriter::json(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Bool:
        boolean(value.toBool());
        break;
    case QJsonValue::Double:
        number(value.toDouble());
        break;
    case QJsonValue::String:
        string(value.toString());
        break;
    case QJsonValue::Array:
        beginArray();
        for (const QJsonValue& element : value.toArray()) {
            item();
            json(element);
        }
        end();
        break;
    case QJsonValue::Object: {
        const QJsonObject object = value.toObject();
        beginObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            name(it.key());
            json(it.value());
        }
        end();
        break;
    }
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        null();
        break;
    }
}
