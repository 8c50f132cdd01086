#include "ZREncodedWordDecoder.h"

#include "MailTextTools.h"
#include "ZRTextEncoding.h"

#include <optional>

namespace {

struct EncodedWord
{
    qsizetype start = 0;
    qsizetype end = 0; // just after "?="
    QString charset;
    QChar letter;
    QString encodedText;
};

bool hasWhiteSpace(QStringView text)
{
    for (const QChar c : text) {
        if (c.isSpace()) {
            return true;
        }
    }
    return false;
}

// The encoded word that starts with the "=?" at `start`, if the text there has the three fields and
// the closing "?=".
std::optional<EncodedWord> wordAt(const QString& text, qsizetype start)
{
    const qsizetype charsetEnd = text.indexOf(QLatin1Char('?'), start + 2);
    if (charsetEnd < 0) {
        return std::nullopt;
    }
    const qsizetype letterEnd = text.indexOf(QLatin1Char('?'), charsetEnd + 1);
    if (letterEnd < 0) {
        return std::nullopt;
    }
    const qsizetype close = text.indexOf(QLatin1String("?="), letterEnd + 1);
    if (close < 0) {
        return std::nullopt;
    }
    const QStringView charset = QStringView(text).mid(start + 2, charsetEnd - start - 2);
    const QStringView letter = QStringView(text).mid(charsetEnd + 1, letterEnd - charsetEnd - 1);
    if (charset.isEmpty() || hasWhiteSpace(charset) || letter.size() != 1 || letter.at(0).isSpace()) {
        return std::nullopt;
    }
    return EncodedWord {start, close + 2, charset.toString(), letter.at(0).toUpper(),
                        text.mid(letterEnd + 1, close - letterEnd - 1)};
}

QByteArray bytesOfQWord(const QString& encoded)
{
    QString spaced = encoded;
    spaced.replace(QLatin1Char('_'), QLatin1Char(' '));
    // Decoding as ISO 8859-1 keeps every byte as the character of the same code.
    return decodeQuotedPrintable(spaced, ZRTextEncoding::ISOLatin1).toLatin1();
}

// Collects the bytes of adjacent words of one charset and writes them out decoded.
class WordRun
{
public:
    explicit WordRun(QString& output)
        : m_output(output)
    { }

    bool continues(const EncodedWord& word) const
    {
        return !m_charset.isEmpty() && m_charset.compare(word.charset, Qt::CaseInsensitive) == 0;
    }

    void add(const EncodedWord& word, const QByteArray& bytes)
    {
        if (!continues(word)) {
            flush();
            m_charset = word.charset;
        }
        m_bytes.append(bytes);
    }

    void flush()
    {
        if (!m_charset.isEmpty()) {
            m_output.append(ZRTextEncoding::decode(m_bytes, ZRTextEncoding::encodingFromAlias(m_charset)));
        }
        m_charset.clear();
        m_bytes.clear();
    }

private:
    QString& m_output;
    QString m_charset;
    QByteArray m_bytes;
};

} // namespace

QString ZREncodedWordDecoder::decode(const QString& text)
{
    if (!text.contains(QLatin1String("=?"))) {
        return text;
    }
    QString decoded;
    decoded.reserve(text.size());
    WordRun run(decoded);
    qsizetype position = 0; // start of the text not yet written
    bool afterWord = false; // the last thing seen was an encoded word
    qsizetype search = 0;
    while (search < text.size()) {
        const qsizetype start = text.indexOf(QLatin1String("=?"), search);
        if (start < 0) {
            break;
        }
        const std::optional<EncodedWord> word = wordAt(text, start);
        if (!word) {
            search = start + 2;
            continue;
        }
        const QStringView between = QStringView(text).mid(position, start - position);
        const bool adjacent = afterWord && between.trimmed().isEmpty();
        if (!adjacent) {
            run.flush();
            decoded.append(between);
        }
        if (word->letter == QLatin1Char('Q')) {
            run.add(*word, bytesOfQWord(word->encodedText));
            afterWord = true;
        } else if (word->letter == QLatin1Char('B')) {
            run.add(*word, QByteArray::fromBase64(word->encodedText.toLatin1()));
            afterWord = true;
        } else {
            run.flush();
            decoded.append(word->encodedText);
            afterWord = false;
        }
        position = word->end;
        search = word->end;
    }
    run.flush();
    decoded.append(QStringView(text).mid(position));
    return decoded;
}
