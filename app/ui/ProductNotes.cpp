#include "ProductNotes.h"

#include <QSet>
#include <QStringDecoder>

#include <cctype>
#include <utility>

namespace {

// Windows-1252 characters 0x80-0x9F (the rest of the code page is Latin-1); 0 where unassigned.
constexpr char16_t Cp1252High[32]
    = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
       0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
       0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

QChar fromCp1252(uchar byte)
{
    if (byte >= 0x80 && byte < 0xA0) {
        const char16_t mapped = Cp1252High[byte - 0x80];
        return mapped ? QChar(mapped) : QChar::ReplacementCharacter;
    }
    return QChar(byte);
}

// Groups whose text is not part of the document.
bool isSkippedDestination(const QByteArray& word)
{
    static const QSet<QByteArray> destinations {
        "fonttbl",   "colortbl", "expandedcolortbl", "stylesheet",        "info",
        "pict",      "header",   "footer",           "headerl",           "headerr",
        "footerl",   "footerr",  "listtable",        "listoverridetable", "generator",
        "themedata", "object",   "fldinst",          "NeXTGraphic",       "latentstyles",
        "rsidtbl",   "xmlnstbl", "datastore",        "colorschememapping"};
    return destinations.contains(word);
}

struct RtfState
{
    bool skipping = false;
    int unicodeSkip = 1;
};

class RtfReader
{
public:
    explicit RtfReader(const QByteArray& rtf)
        : m_rtf(rtf)
    { }

    QString read()
    {
        QList<RtfState> stack;
        RtfState state;
        int pendingSkip = 0; // characters still to drop after a \u
        while (m_pos < m_rtf.size()) {
            const char c = m_rtf.at(m_pos++);
            if (c == '{') {
                stack.append(state);
                m_groupStart = true;
                continue;
            }
            if (c == '}') {
                state = stack.isEmpty() ? RtfState() : stack.takeLast();
                m_groupStart = false;
                continue;
            }
            const bool groupStart = std::exchange(m_groupStart, false);
            if (c == '\r' || c == '\n') {
                m_groupStart = groupStart;
                continue;
            }
            if (c != '\\') {
                emitChar(state, pendingSkip, QChar(uchar(c)));
                continue;
            }
            readControl(state, pendingSkip, groupStart);
        }
        while (m_text.endsWith(QLatin1Char('\n'))) {
            m_text.chop(1);
        }
        return m_text;
    }

private:
    void emitChar(const RtfState& state, int& pendingSkip, QChar c)
    {
        if (pendingSkip > 0) {
            --pendingSkip;
            return;
        }
        if (!state.skipping) {
            m_text.append(c);
        }
    }

    void readControl(RtfState& state, int& pendingSkip, bool groupStart)
    {
        if (m_pos >= m_rtf.size()) {
            return;
        }
        const char c = m_rtf.at(m_pos);
        if (!std::isalpha(uchar(c))) {
            ++m_pos;
            readSymbol(state, pendingSkip, c);
            return;
        }
        QByteArray word;
        while (m_pos < m_rtf.size() && std::isalpha(uchar(m_rtf.at(m_pos)))) {
            word.append(m_rtf.at(m_pos++));
        }
        QByteArray digits;
        if (m_pos < m_rtf.size() && m_rtf.at(m_pos) == '-') {
            digits.append(m_rtf.at(m_pos++));
        }
        while (m_pos < m_rtf.size() && std::isdigit(uchar(m_rtf.at(m_pos))) && digits.size() < 12) {
            digits.append(m_rtf.at(m_pos++));
        }
        if (m_pos < m_rtf.size() && m_rtf.at(m_pos) == ' ') {
            ++m_pos;
        }
        const int parameter = digits.toInt();
        if (groupStart && isSkippedDestination(word)) {
            state.skipping = true;
        } else if (word == "par" || word == "line") {
            emitChar(state, pendingSkip, QLatin1Char('\n'));
        } else if (word == "tab") {
            emitChar(state, pendingSkip, QLatin1Char('\t'));
        } else if (word == "uc") {
            state.unicodeSkip = qBound(0, parameter, 8);
        } else if (word == "u") {
            emitChar(state, pendingSkip, QChar(char16_t(parameter < 0 ? parameter + 65536 : parameter)));
            pendingSkip = state.unicodeSkip;
        }
    }

    void readSymbol(RtfState& state, int& pendingSkip, char c)
    {
        switch (c) {
        case '*':
            state.skipping = true; // an optional destination this reader does not know
            break;
        case '\'': {
            const QByteArray hex = m_rtf.mid(m_pos, 2);
            m_pos += hex.size();
            bool ok = false;
            const uint byte = hex.toUInt(&ok, 16);
            emitChar(state, pendingSkip, ok ? fromCp1252(uchar(byte)) : QChar::ReplacementCharacter);
            break;
        }
        case '~':
            emitChar(state, pendingSkip, QChar(0x00A0));
            break;
        case '_':
            emitChar(state, pendingSkip, QLatin1Char('-'));
            break;
        case '\n':
        case '\r':
            emitChar(state, pendingSkip, QLatin1Char('\n'));
            break;
        case '\\':
        case '{':
        case '}':
            emitChar(state, pendingSkip, QLatin1Char(c));
            break;
        default:
            break; // \- (optional hyphen) and other symbols show nothing
        }
    }

    const QByteArray& m_rtf;
    qsizetype m_pos = 0;
    bool m_groupStart = false;
    QString m_text;
};

} // namespace

ProductNotes::Text ProductNotes::fromComments(const QByteArray& bytes)
{
    // Only bytes that are an RTF document count as rich text: UTF-8 notes that merely mention
    // "{\rtf1" somewhere are shown as they are.
    if (const auto plain = plainTextFromRtf(bytes)) {
        return {*plain, true};
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes);
    if (!decoder.hasError()) {
        return {decoded, false};
    }
    // Neither UTF-8 nor RTF: show what the bytes say as Latin-1 rather than nothing.
    return {QString::fromLatin1(bytes), true};
}

QByteArray ProductNotes::toComments(const QString& text)
{
    return text.isEmpty() ? QByteArray() : text.toUtf8();
}

std::optional<QString> ProductNotes::plainTextFromRtf(const QByteArray& rtf)
{
    const QByteArray start = rtf.trimmed().left(5);
    if (start != "{\\rtf") {
        return std::nullopt;
    }
    return RtfReader(rtf).read();
}
