#include "LicenceTitleGuess.h"

#include "LicenceTitleSender.h"
#include "LicenceTitleText.h"
#include "ZREmail.h"
#include "ZREmailParser.h"

#include <QRegularExpression>

namespace {

// Only the top of a long mail is read for the name: it is stated near the greeting.
constexpr qsizetype MaximumBodyLines = 200;

// Where a name stands in a sentence: the name follows the words (captured to the end of the
// line and cut at the first clause break), or comes before them (cut at the last break).
enum class Side { After, Before };

struct BodyPattern
{
    QRegularExpression expression;
    Side side;
};

QRegularExpression caseless(const QString& pattern)
{
    return QRegularExpression(
        pattern, QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
}

// The patterns by how surely they name the product; the first that gives a name wins.
const QList<BodyPattern>& bodyPatterns()
{
    static const QString licence
        = QStringLiteral("(?:licen[cs]es?|lizenz|serial(?: number)?|registration(?: code| key)?|"
                         "product key|activation (?:code|key)|licen[cs]e key|key|copy)");
    static const QList<BodyPattern> patterns = {
        {caseless(QStringLiteral("^(?:product|product name|software|application|app|item|title|produkt|produit|"
                                 "producto)\\s*:\\s*(.+)$")),
         Side::After},
        {caseless(QStringLiteral("\\b(?:thank you|thanks)(?: very much)? for (?:your )?(?:purchasing|purchase of|"
                                 "buying|ordering|order of|registering|licensing|choosing)\\s+(?:a |an |the )?"
                                 "(?:(?:single[- ]user |personal |family |business )?licen[cs]e (?:for|of) )?(.+)$")),
         Side::After},
        {caseless(
             QStringLiteral("\\b(?:vielen dank|danke) f(?:ü|ue)r (?:den|ihren|deinen) kauf (?:von|der|des)\\s+(.+)$")),
         Side::After},
        {caseless(QStringLiteral("\\bmerci (?:pour|de) (?:votre|l') ?achat (?:de|d')\\s*(.+)$")), Side::After},
        {caseless(QStringLiteral("\\byou(?: have|'ve)? (?:just )?(?:purchased|bought|ordered|registered)\\s+(.+)$")),
         Side::After},
        {caseless(QStringLiteral("\\byour (?:new )?(.{2,60}?)\\s+") + licence + QStringLiteral("\\b")), Side::Before},
        {caseless(licence + QStringLiteral("\\s+(?:for|of|to)\\s+(.+)$")), Side::After},
    };
    return patterns;
}

// The part of a captured clause that can be the name: before the first break for a name that
// follows its words, after the last for one that precedes them.
QString clause(const QString& captured, Side side)
{
    static const QRegularExpression breaks(
        QStringLiteral("[.!?;,](?:\\s|$)|\\s[-–—|:]\\s|:\\s|\\s\\(|(?:^|\\s)(?:from|by|at|on|is|has|was|will|we|with|"
                       "here|below|today|now|and your|which|that|von|de chez)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    if (side == Side::After) {
        const QRegularExpressionMatch match = breaks.match(captured);
        return match.hasMatch() ? captured.left(match.capturedStart()) : captured;
    }
    qsizetype start = 0;
    for (auto it = breaks.globalMatch(captured); it.hasNext();) {
        start = it.next().capturedEnd();
    }
    return captured.mid(start);
}

QString titleFromBody(const QStringList& lines, const QString& serial)
{
    for (const BodyPattern& pattern : bodyPatterns()) {
        for (const QString& line : lines) {
            const QRegularExpressionMatch match = pattern.expression.match(line);
            if (!match.hasMatch()) {
                continue;
            }
            const QString name = LicenceTitleText::cleanedName(clause(match.captured(1), pattern.side), serial);
            if (!name.isEmpty()) {
                return name;
            }
        }
    }
    return QString();
}

QString titleFromSubject(const QString& subject, const QString& serial)
{
    static const QRegularExpression separators(QStringLiteral("\\s[-–—|]\\s|[:|()\\[\\]]|,\\s"));
    static const QRegularExpression licenceWords(
        QStringLiteral("\\b(licen[cs]e|lizenz|licence|serial|key|registration|activation)"),
        QRegularExpression::CaseInsensitiveOption);
    QString text = subject;
    if (!serial.trimmed().isEmpty()) {
        text.replace(serial.trimmed(), QStringLiteral(" "), Qt::CaseInsensitive);
    }
    QString first;
    for (const QString& segment : LicenceTitleText::subjectWithoutNoise(text).split(separators)) {
        const QString name = LicenceTitleText::cleanedName(segment, serial);
        if (name.isEmpty()) {
            continue;
        }
        // The part that speaks of the licence names its product ("Order 12 — Meter licence").
        if (licenceWords.match(segment).hasMatch()) {
            return name;
        }
        if (first.isEmpty()) {
            first = name;
        }
    }
    return first;
}

// The header's decoded text, or nothing when the message has no such header (ZREmail then
// answers a placeholder).
QString headerText(const ZREmail& email, const QString& field, const QString& value)
{
    const auto raw = ZREmailParser::parseEmailText(email.rawSource(), field, ZREmailParser::Folding::Unfold);
    return raw && !raw->trimmed().isEmpty() ? value : QString();
}

} // namespace

LicenceTitleGuess LicenceTitleGuess::fromEmail(const ZREmail& email, const QString& serial)
{
    LicenceTitleGuess guess;
    guess.publisher = LicenceTitleSender::publisher(headerText(email, QStringLiteral("From"), email.from()));
    if (!serial.isEmpty() && guess.publisher.contains(serial, Qt::CaseInsensitive)) {
        guess.publisher.clear();
    }
    QStringList lines = LicenceTitleText::readableLines(email.textContent().value_or(QString()));
    if (lines.size() > MaximumBodyLines) {
        lines.resize(MaximumBodyLines);
    }
    guess.title = titleFromBody(lines, serial);
    if (guess.title.isEmpty()) {
        guess.title = titleFromSubject(headerText(email, QStringLiteral("Subject"), email.subject()), serial);
    }
    if (guess.title.isEmpty()) {
        // A mail that names nothing is still from someone: the product is most likely theirs.
        guess.title = guess.publisher;
    }
    return guess;
}
