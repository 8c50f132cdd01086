#include "JsonTextWriter.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QLocale>

#include <cmath>
#include <type_traits>

QJsonValue JsonTextWriter::toJsonValue(const Value& value)
{
    return std::visit(
        [](const auto& held) -> QJsonValue {
            using T = std::decay_t<decltype(held)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return QJsonValue::Null;
            } else {
                return QJsonValue(held);
            }
        },
        value);
}

void JsonTextWriter::appendNumber(double number)
{
    if (!std::isfinite(number)) {
        m_text += "null";
        return;
    }
    // Whole numbers that fit 64 bits are written without exponent, like the document does.
    const bool whole = std::abs(number) < 18446744073709551616.0 && number == std::floor(number);
    m_text += QByteArray::number(number, whole ? 'f' : 'g', QLocale::FloatingPointShortest).toStdString();
}

void JsonTextWriter::appendString(QStringView string)
{
    // Written through a pointer into room for the longest form (six bytes a unit, "\\u001f").
    const size_t start = m_text.size();
    m_text.resize(start + 6 * size_t(string.size()) + 2);
    char* out = m_text.data() + start;
    const auto escape = [&out](char16_t unit) {
        static const char digits[] = "0123456789abcdef";
        *out++ = '\\';
        *out++ = 'u';
        for (int shift = 12; shift >= 0; shift -= 4) {
            *out++ = digits[(unit >> shift) & 0xf];
        }
    };
    *out++ = '"';
    const qsizetype size = string.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = string[i].unicode();
        if (unit >= 0x20 && unit < 0x80 && unit != u'"' && unit != u'\\') {
            *out++ = char(unit);
            continue;
        }
        if (unit < 0x80) {
            const char* const named = unit == u'"' ? "\""
                : unit == u'\\'                    ? "\\"
                : unit == u'\b'                    ? "b"
                : unit == u'\f'                    ? "f"
                : unit == u'\n'                    ? "n"
                : unit == u'\r'                    ? "r"
                : unit == u'\t'                    ? "t"
                                                   : nullptr;
            if (named) {
                *out++ = '\\';
                *out++ = *named;
            } else {
                escape(unit);
            }
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

template<typename Items, typename Each>
void JsonTextWriter::appendItems(const Items& items, char open, char close, int level, Each each)
{
    m_text += open;
    m_text += '\n';
    bool first = true;
    for (const auto& item : items) {
        if (!first) {
            m_text += ",\n";
        }
        first = false;
        m_text.append(size_t(4 * (level + 1)), ' ');
        each(item);
    }
    if (!first) {
        m_text += '\n';
    }
    m_text.append(size_t(4 * level), ' ');
    m_text += close;
}

void JsonTextWriter::appendValue(const Value& value, int level)
{
    std::visit(
        [&](const auto& held) {
            using T = std::decay_t<decltype(held)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                m_text += "null";
            } else if constexpr (std::is_same_v<T, bool>) {
                m_text += held ? "true" : "false";
            } else if constexpr (std::is_same_v<T, qint64> || std::is_same_v<T, double>) {
                appendNumber(double(held)); // a document keeps every number as a double too
            } else if constexpr (std::is_same_v<T, QString>) {
                appendString(held);
            } else {
                appendJson(held, level);
            }
        },
        value);
}

void JsonTextWriter::appendJson(const QJsonValue& value, int level)
{
    switch (value.type()) {
    case QJsonValue::Bool:
        m_text += value.toBool() ? "true" : "false";
        break;
    case QJsonValue::Double:
        appendNumber(value.toDouble());
        break;
    case QJsonValue::String:
        appendString(value.toString());
        break;
    case QJsonValue::Array:
        appendItems(value.toArray(), '[', ']', level, [&](const QJsonValue& item) { appendJson(item, level + 1); });
        break;
    case QJsonValue::Object: {
        const QJsonObject object = value.toObject();
        std::vector<Member> members; // in key order, as the object keeps them
        members.reserve(size_t(object.size()));
        for (auto it = object.begin(); it != object.end(); ++it) {
            members.emplace_back(it.key(), Value(QJsonValue(it.value())));
        }
        appendObject(members, level);
        break;
    }
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        m_text += "null";
        break;
    }
}

void JsonTextWriter::appendObject(const std::vector<Member>& members, int level)
{
    appendItems(members, '{', '}', level, [&](const Member& member) {
        appendString(member.first);
        m_text += ": ";
        appendValue(member.second, level + 1);
    });
}
