#include "LicenceTitleText.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace {

// Lines longer than this are base64, tracking links or whole paragraphs: no name is read from them.
constexpr qsizetype MaximumLineLength = 400;
// Names longer than this are sentences rather than product names.
constexpr qsizetype MaximumNameLength = 60;
constexpr qsizetype MaximumNameWords = 8;

const QSet<QString>& noiseWords()
{
    static const QSet<QString> words = {
        QStringLiteral("a"),         QStringLiteral("activation"), QStringLiteral("an"),
        QStringLiteral("and"),       QStringLiteral("bestellung"), QStringLiteral("code"),
        QStringLiteral("codes"),     QStringLiteral("commande"),   QStringLiteral("confirmation"),
        QStringLiteral("confirmed"), QStringLiteral("danke"),      QStringLiteral("merci"),
        QStringLiteral("copy"),      QStringLiteral("details"),    QStringLiteral("download"),
        QStringLiteral("for"),       QStringLiteral("fw"),         QStringLiteral("fwd"),
        QStringLiteral("here"),      QStringLiteral("info"),       QStringLiteral("information"),
        QStringLiteral("invoice"),   QStringLiteral("is"),         QStringLiteral("key"),
        QStringLiteral("keys"),      QStringLiteral("licence"),    QStringLiteral("licences"),
        QStringLiteral("license"),   QStringLiteral("licenses"),   QStringLiteral("licensing"),
        QStringLiteral("lizenz"),    QStringLiteral("my"),         QStringLiteral("new"),
        QStringLiteral("number"),    QStringLiteral("of"),         QStringLiteral("order"),
        QStringLiteral("our"),       QStringLiteral("payment"),    QStringLiteral("product"),
        QStringLiteral("purchase"),  QStringLiteral("purchased"),  QStringLiteral("purchasing"),
        QStringLiteral("re"),        QStringLiteral("receipt"),    QStringLiteral("registration"),
        QStringLiteral("serial"),    QStringLiteral("serials"),    QStringLiteral("software"),
        QStringLiteral("thank"),     QStringLiteral("thanks"),     QStringLiteral("the"),
        QStringLiteral("this"),      QStringLiteral("to"),         QStringLiteral("us"),
        QStringLiteral("you"),       QStringLiteral("your"),
    };
    return words;
}

QString decodedEntities(QString text)
{
    static const QRegularExpression numeric(QStringLiteral("&#(x?)([0-9a-fA-F]{1,6});"));
    QString decoded;
    qsizetype last = 0;
    for (auto it = numeric.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        bool ok = false;
        const uint code = match.captured(2).toUInt(&ok, match.captured(1).isEmpty() ? 10 : 16);
        decoded += QStringView(text).mid(last, match.capturedStart() - last);
        decoded += ok && code > 0 && code < 0x110000 ? QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1)
                                                     : QString();
        last = match.capturedEnd();
    }
    decoded += QStringView(text).mid(last);
    static const QList<std::pair<QLatin1String, QString>> named = {
        {QLatin1String("&nbsp;"), QStringLiteral(" ")},  {QLatin1String("&quot;"), QStringLiteral("\"")},
        {QLatin1String("&apos;"), QStringLiteral("'")},  {QLatin1String("&lt;"), QStringLiteral("<")},
        {QLatin1String("&gt;"), QStringLiteral(">")},    {QLatin1String("&ldquo;"), QStringLiteral("“")},
        {QLatin1String("&rdquo;"), QStringLiteral("”")}, {QLatin1String("&lsquo;"), QStringLiteral("‘")},
        {QLatin1String("&rsquo;"), QStringLiteral("’")}, {QLatin1String("&trade;"), QStringLiteral("™")},
        {QLatin1String("&reg;"), QStringLiteral("®")},   {QLatin1String("&amp;"), QStringLiteral("&")},
    };
    for (const auto& [entity, character] : named) {
        decoded.replace(entity, character, Qt::CaseInsensitive);
    }
    return decoded;
}

bool looksLikeHtml(const QString& body)
{
    static const QRegularExpression tag(QStringLiteral("<(html|body|p|div|br|table|td|span|h[1-6])\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    return tag.match(body).hasMatch();
}

QString htmlAsText(QString html)
{
    static const QRegularExpression hidden(QStringLiteral("<(style|script|head)\\b.*?</\\1\\s*>"),
                                           QRegularExpression::CaseInsensitiveOption
                                               | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression breaks(QStringLiteral("<(br|/p|/div|/tr|/li|/h[1-6]|/table|/title)\\b[^>]*>"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression cells(QStringLiteral("</t[dh]\\s*>"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    html.remove(hidden);
    html.replace(QLatin1Char('\n'), QLatin1Char(' '));
    html.replace(breaks, QStringLiteral("\n"));
    html.replace(cells, QStringLiteral(" "));
    html.remove(tags);
    return decodedEntities(html);
}

QString withoutOuterMarks(QString text)
{
    static const QString marks = QStringLiteral("\"'`“”„‘’‚«»‹›*_~.,;:!?-–—|/\\#•·>()[]{}™®©℠ \t");
    while (!text.isEmpty() && marks.contains(text.front())) {
        text.remove(0, 1);
    }
    while (!text.isEmpty() && marks.contains(text.back())) {
        // A closing bracket that belongs to an opened one is part of the name: "Harbour (Studio)".
        if (text.back() == u')' && text.contains(u'(')) {
            break;
        }
        text.chop(1);
    }
    return text;
}

QString withoutEdgeNoise(const QString& name)
{
    QStringList words = name.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const auto isNoise = [](const QString& word) {
        return LicenceTitleText::isNoiseWord(withoutOuterMarks(word)) || withoutOuterMarks(word).isEmpty();
    };
    while (!words.isEmpty() && isNoise(words.front())) {
        words.removeFirst();
    }
    while (!words.isEmpty() && isNoise(words.back())) {
        words.removeLast();
    }
    return words.join(QLatin1Char(' '));
}

bool containsSerial(const QString& name, const QString& serial)
{
    if (serial.trimmed().isEmpty()) {
        return false;
    }
    const auto compact = [](const QString& text) {
        QString letters;
        for (const QChar c : text) {
            if (c.isLetterOrNumber()) {
                letters += c.toCaseFolded();
            }
        }
        return letters;
    };
    const QString key = compact(serial);
    return name.contains(serial.trimmed(), Qt::CaseInsensitive) || (key.size() >= 6 && compact(name).contains(key));
}

bool looksLikeName(const QString& name)
{
    static const QRegularExpression address(QStringLiteral("@|https?:|www\\.|\\.(com|net|org)\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    const qsizetype words = name.count(QLatin1Char(' ')) + 1;
    return !name.isEmpty() && name.size() <= MaximumNameLength && words <= MaximumNameWords
        && std::any_of(name.begin(), name.end(), [](QChar c) { return c.isLetter(); })
        && !address.match(name).hasMatch();
}

} // namespace

namespace LicenceTitleText {

QStringList readableLines(const QString& body)
{
    const QString text = looksLikeHtml(body) ? htmlAsText(body) : body;
    QStringList lines;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.simplified();
        if (!line.isEmpty() && line.size() <= MaximumLineLength) {
            lines.append(line);
        }
    }
    return lines;
}

QString subjectWithoutNoise(const QString& subject)
{
    static const QRegularExpression tags(QStringLiteral("^\\s*(\\[[^\\]]*\\]\\s*|(re|fwd?|aw|wg|tr)\\s*:\\s*)+"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression orderNumber(
        QStringLiteral("\\b(order|invoice|receipt|transaction|reference|ref|bestellung|commande)\\s*"
                       "(no\\.?|nr\\.?|number|id)?\\s*[:#]?\\s*#?\\s*[A-Za-z0-9-]*\\d[A-Za-z0-9-]*"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression hashNumber(QStringLiteral("#\\s*[A-Za-z0-9-]+"));
    static const QRegularExpression emptyBrackets(QStringLiteral("[(\\[]\\s*[)\\]]"));
    QString text = subject;
    text.remove(tags);
    text.replace(orderNumber, QStringLiteral(" "));
    text.replace(hashNumber, QStringLiteral(" "));
    text.remove(emptyBrackets);
    return text.simplified();
}

QString cleanedName(const QString& candidate, const QString& serial)
{
    static const QRegularExpression trailingVersion(
        QStringLiteral("\\s+(\\(?(version|ver\\.?|v)\\s*\\d+(\\.\\d+)*\\)?|\\d+\\.\\d+\\.\\d+\\S*)$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression bracketNote(
        QStringLiteral("\\s*[(\\[][^)\\]]*(licen[cs]e|order|user|seat|edition|upgrade|version|\\d{3,})[^)\\]]*[)\\]]"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression marks(QStringLiteral("[™®©℠]"));
    QString name = candidate.simplified();
    name.remove(marks);
    name.remove(bracketNote);
    name = withoutEdgeNoise(withoutOuterMarks(name));
    name.remove(trailingVersion);
    name = withoutOuterMarks(withoutEdgeNoise(name)).simplified();
    if (!looksLikeName(name) || containsSerial(name, serial)) {
        return QString();
    }
    return name;
}

bool isNoiseWord(const QString& word)
{
    return noiseWords().contains(word.toLower());
}

} // namespace LicenceTitleText
