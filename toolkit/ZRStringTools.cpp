#include "ZRStringTools.h"

#include "ZRLog.h"

#include <QList>
#include <QStringList>
#include <QStringView>

#include <algorithm>

namespace {

qsizetype clampToText(const QString& text, qsizetype position)
{
    return std::clamp<qsizetype>(position, 0, text.size());
}

// The code point at `index` and the number of UTF-16 units it takes (a lone surrogate counts as
// one character of its own).
char32_t codePointAt(QStringView text, qsizetype index, qsizetype* width)
{
    const QChar first = text[index];
    if (first.isHighSurrogate() && index + 1 < text.size() && text[index + 1].isLowSurrogate()) {
        *width = 2;
        return QChar::surrogateToUcs4(first, text[index + 1]);
    }
    *width = 1;
    return first.unicode();
}

} // namespace

bool ZR_isEqualToStringIgnoringCase(const QString& receiver, const QString& other)
{
    if (receiver.isNull() || other.isNull()) {
        return false;
    }
    return receiver.toLower() == other.toLower();
}

bool ZR_containsString(const QString& receiver, const QString& other, bool ignoringCase)
{
    if (other.isEmpty()) {
        return false;
    }
    return receiver.contains(other, ignoringCase ? Qt::CaseInsensitive : Qt::CaseSensitive);
}

QString ZR_substringBeforeRange(const QString& receiver, ZRRange range)
{
    return receiver.first(clampToText(receiver, range.location));
}

QString ZR_substringAfterRange(const QString& receiver, ZRRange range)
{
    // Both parts are bounded by the text's size first, so their sum cannot overflow.
    const qsizetype location = std::clamp<qsizetype>(range.location, -receiver.size(), receiver.size());
    const qsizetype end = clampToText(receiver, location + clampToText(receiver, range.length));
    return receiver.sliced(end);
}

QString ZR_stringMadeSafeForPath(const QString& receiver)
{
    QString result = receiver;
    return result.replace(QLatin1Char('/'), QLatin1Char('_'));
}

QString ZR_stringSafeForXML(const QString& receiver)
{
    QString result = receiver;
    // The ampersand must go first: the later steps write ampersands of their own.
    result.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    result.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    result.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    result.replace(QLatin1Char('"'), QLatin1String("&quot;"));
    result.replace(QLatin1Char('\''), QLatin1String("&apos;"));
    return result;
}

QString ZR_stringByConvertingMicrosoftLineBreaks(const QString& receiver)
{
    QString result = receiver;
    if (result.contains(QLatin1String("\r\n"))) {
        result.remove(QLatin1Char('\r'));
    } else {
        result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    return result;
}

QString ZR_stringByTrimmingLineBreaks(const QString& receiver)
{
    QString result = receiver;
    return result.replace(QLatin1Char('\n'), QLatin1Char(' '));
}

QString ZR_stringWithSubstitute(const QString& receiver, const QString& substitute, const ZRCharacterSet& characterSet)
{
    if (!characterSet) {
        return receiver;
    }
    const QStringView text(receiver);
    QString result;
    bool changed = false;
    for (qsizetype index = 0; index < text.size();) {
        qsizetype width = 1;
        const char32_t character = codePointAt(text, index, &width);
        if (characterSet(character)) {
            if (!changed) {
                result.reserve(text.size() + substitute.size());
                result.append(text.first(index));
                changed = true;
            }
            result.append(substitute);
        } else if (changed) {
            result.append(text.sliced(index, width));
        }
        index += width;
    }
    return changed ? result : receiver;
}

QString ZR_stringWithSubstitute(const QString& receiver, const QString& substitute, const QString& characters)
{
    const QList<uint> members = characters.toUcs4();
    return ZR_stringWithSubstitute(receiver, substitute, [&members](char32_t character) {
        return std::find(members.cbegin(), members.cend(), uint(character)) != members.cend();
    });
}

QString ZR_squashedStringByRemovingDelimiterCharacter(const QString& receiver, const QString& delimiterCharacter)
{
    if (delimiterCharacter.isEmpty()) {
        return receiver;
    }
    if (delimiterCharacter.size() != 1) {
        ZRLog::write(QStringLiteral("delimiterCharacter can only be one length of 1."));
        return {};
    }
    const QChar delimiter = delimiterCharacter.front();
    return receiver.split(delimiter, Qt::SkipEmptyParts).join(delimiter);
}
