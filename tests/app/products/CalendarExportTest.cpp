// The calendar of licence dates: its text form (escaping, folding, line ends) checked directly,
// and the whole file read back by an independent iCalendar reader.
#include "products/CalendarExport.h"

#include "base/Log.h"
#include "support/TestData.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QDateTime Stamp(QDate(2026, 12, 8), QTime(9, 30), Qt::UTC);

LicenceTerms product(const QString& uuid, const QString& title)
{
    LicenceTerms terms;
    terms.uuid = uuid;
    terms.title = title;
    terms.expiryDate = QDate(2027, 1, 15);
    terms.renewalDate = QDate(2026, 1, 31);
    terms.renewalPeriodMonths = 12;
    terms.renewalPrice = Persistence::Decimal::fromString(u"49.00");
    terms.currencySymbol = QStringLiteral("$");
    terms.remindDaysBefore = 14;
    return terms;
}

QByteArray calendarText(const QList<LicenceTerms>& products)
{
    CalendarExport calendar(Stamp);
    QList<LicenceDueEntry> entries;
    for (const LicenceTerms& terms : products) {
        entries.append(LicenceDue::occurrences(terms, QDate(2026, 12, 8)));
    }
    calendar.addEntries(products, entries);
    return calendar.text();
}

// The events as the icalendar package of Python reads them; skips when it is not installed.
std::optional<QJsonObject> readBack(const QString& path)
{
    // The first python3 on PATH, then the distribution's, which the system package is installed for.
    const QStringList pythons {QStandardPaths::findExecutable(QStringLiteral("python3")),
                               QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")})};
    for (const QString& python : pythons) {
        if (python.isEmpty()) {
            continue;
        }
        QProcess process;
        process.start(python, {testDataPath("/calendar/read_calendar.py"), path});
        if (!process.waitForFinished(60000) || process.exitCode() != 0) {
            ADD_FAILURE() << process.readAllStandardError().toStdString();
            return std::nullopt;
        }
        const QJsonObject result = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
        if (!result.contains(QStringLiteral("skip"))) {
            return result;
        }
    }
    return std::nullopt;
}

} // namespace

TEST(CalendarExport, TextValuesAreEscaped)
{
    EXPECT_EQ(CalendarExport::escapedText(QStringLiteral("a\\b;c,d\ne\r\nf:g")),
              QStringLiteral("a\\\\b\\;c\\,d\\ne\\nf:g"));
    EXPECT_EQ(CalendarExport::escapedText(QStringLiteral("tab\there")), QStringLiteral("tab here"));
}

TEST(CalendarExport, LongLinesFoldAt75OctetsBetweenCharacters)
{
    // Four-octet emoji and two-octet letters, so a fold at a fixed offset would split one.
    const QString line
        = QStringLiteral("SUMMARY:") + QString(40, QChar(0xE9)) + QString::fromUtf8("😀😀😀😀😀😀😀😀😀😀") + QString(120, u'x');
    const QByteArray folded = CalendarExport::foldedLine(line);
    ASSERT_TRUE(folded.endsWith("\r\n"));
    const QList<QByteArray> parts = folded.chopped(2).split('\n');
    ASSERT_GT(parts.size(), 3);
    QByteArray unfolded;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QByteArray part = parts.at(i);
        if (i + 1 < parts.size()) {
            ASSERT_TRUE(part.endsWith('\r'));
            part.chop(1);
        }
        EXPECT_LE(part.size(), 75);
        if (i > 0) {
            ASSERT_TRUE(part.startsWith(' '));
            part.remove(0, 1);
        }
        EXPECT_TRUE(QString::fromUtf8(part).toUtf8() == part) << "a part that is not whole UTF-8: " << i;
        unfolded += part;
    }
    EXPECT_EQ(QString::fromUtf8(unfolded), line);
    EXPECT_EQ(CalendarExport::foldedLine(QString(75, u'y')), QByteArray(75, 'y') + "\r\n") << "75 octets fit";
}

TEST(CalendarExport, EveryLineEndsInCrLfAndUidsStayTheSame)
{
    const QList<LicenceTerms> products {product(QStringLiteral("U1"), QStringLiteral("Editor"))};
    const QByteArray text = calendarText(products);
    EXPECT_EQ(text.count('\n'), text.count("\r\n"));
    EXPECT_TRUE(text.startsWith("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:"));
    EXPECT_TRUE(text.contains("UID:U1-expiry@keymoor\r\n"));
    EXPECT_TRUE(text.contains("UID:U1-renewal@keymoor\r\n"));
    EXPECT_TRUE(text.contains("DTSTART;VALUE=DATE:20260131\r\nDTEND;VALUE=DATE:20260201\r\n"
                              "RRULE:FREQ=MONTHLY;INTERVAL=12\r\n"));
    EXPECT_TRUE(text.contains("TRIGGER:-P14D\r\n"));
    EXPECT_EQ(calendarText(products), text) << "the same data and stamp give the same file";
}

TEST(CalendarExport, HostileTitlesReadBackUnchangedByAnIndependentReader)
{
    Log::setEchoToStandardError(false);
    const QStringList titles {
        QStringLiteral("Comma, Semicolon; Backslash\\ and: colon"),
        QStringLiteral("Two\nlines"),
        QString::fromUtf8("Émoji 😀 Ünïcödé 日本語"),
        QString(200, u'W') + QString::fromUtf8("😀"),
    };
    QList<LicenceTerms> products;
    for (int i = 0; i < titles.size(); ++i) {
        products.append(product(QStringLiteral("uuid-%1").arg(i), titles.at(i)));
    }
    products[1].renewalPeriodMonths = 0; // a renewal that does not repeat
    products[1].renewalDate = QDate(2027, 3, 1);
    products[2].remindDaysBefore = 0;
    CalendarExport calendar(Stamp);
    QList<LicenceDueEntry> entries;
    for (const LicenceTerms& terms : products) {
        entries.append(LicenceDue::occurrences(terms, QDate(2026, 12, 8)));
    }
    calendar.addEntries(products, entries);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("licences.ics"));
    QString error;
    ASSERT_TRUE(calendar.write(path, &error)) << error.toStdString();

    const std::optional<QJsonObject> read = readBack(path);
    if (!read) {
        GTEST_SKIP() << "the icalendar package of Python is not installed";
    }
    EXPECT_EQ(read->value(QStringLiteral("version")).toString(), QStringLiteral("2.0"));
    const QJsonArray events = read->value(QStringLiteral("events")).toArray();
    ASSERT_EQ(events.size(), 8);
    QHash<QString, QJsonObject> byUid;
    for (const QJsonValue& event : events) {
        byUid.insert(event[QStringLiteral("uid")].toString(), event.toObject());
        EXPECT_TRUE(event[QStringLiteral("stamp")].toBool());
        EXPECT_EQ(event[QStringLiteral("alarmAction")].toString(), QStringLiteral("DISPLAY"));
    }
    for (int i = 0; i < titles.size(); ++i) {
        const QJsonObject expiry = byUid.value(QStringLiteral("uuid-%1-expiry@keymoor").arg(i));
        EXPECT_TRUE(expiry[QStringLiteral("summary")].toString().contains(titles.at(i))) << i;
        EXPECT_EQ(expiry[QStringLiteral("start")].toString(), QStringLiteral("2027-01-15"));
        EXPECT_EQ(expiry[QStringLiteral("end")].toString(), QStringLiteral("2027-01-16"));
        EXPECT_TRUE(byUid.contains(QStringLiteral("uuid-%1-renewal@keymoor").arg(i))) << i;
    }
    const QJsonObject repeating = byUid.value(QStringLiteral("uuid-0-renewal@keymoor"));
    EXPECT_EQ(repeating[QStringLiteral("rrule")].toString(), QStringLiteral("FREQ=MONTHLY;INTERVAL=12"));
    EXPECT_EQ(repeating[QStringLiteral("start")].toString(), QStringLiteral("2026-01-31"));
    EXPECT_TRUE(repeating[QStringLiteral("description")].toString().contains(QStringLiteral("49.00 USD")));
    EXPECT_EQ(repeating[QStringLiteral("trigger")].toString(), QStringLiteral("-P14D"));
    const QJsonObject once = byUid.value(QStringLiteral("uuid-1-renewal@keymoor"));
    EXPECT_TRUE(once[QStringLiteral("rrule")].toString().isEmpty());
    EXPECT_EQ(once[QStringLiteral("start")].toString(), QStringLiteral("2027-03-01"));
    const QString zero = byUid.value(QStringLiteral("uuid-2-expiry@keymoor"))[QStringLiteral("trigger")].toString();
    EXPECT_TRUE(zero == QStringLiteral("PT0S") || zero == QStringLiteral("P0D")) << zero.toStdString();
}
