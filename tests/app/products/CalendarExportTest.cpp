// The calendar of licence dates, read back by an independent iCalendar reader (Python's icalendar),
// and the folding of long lines checked octet by octet.
#include "products/CalendarExport.h"

#include "base/Log.h"
#include "support/TestData.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The events as the icalendar package reads them; nothing when it is not installed. The first
// python3 on PATH is tried, then the distribution's, which the system package is installed for.
std::optional<QJsonObject> readBack(const QString& path)
{
    for (const QString& python :
         {QStandardPaths::findExecutable(QStringLiteral("python3")),
          QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")})}) {
        QProcess process;
        process.start(python, {testDataPath("/calendar/read_calendar.py"), path});
        if (python.isEmpty() || !process.waitForFinished(60000) || process.exitCode() != 0) {
            continue;
        }
        const QJsonObject result = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
        if (!result.contains(QStringLiteral("skip"))) {
            return result;
        }
    }
    return std::nullopt;
}

} // namespace

// Readers are lenient with a bare comma or semicolon, so the escapes are checked in the text itself.
TEST(CalendarExport, TextEscapesBackslashSemicolonCommaAndLineBreaks)
{
    EXPECT_EQ(CalendarExport::escapedText(QStringLiteral("a\\b;c,d\ne\r\nf:g\th")),
              QStringLiteral("a\\\\b\\;c\\,d\\ne\\nf:g h"));
}

TEST(CalendarExport, LongLinesFoldAt75OctetsNeverInsideACharacter)
{
    // Two- and four-octet characters, so that a fold at a fixed offset would split one.
    const QString line
        = QStringLiteral("SUMMARY:") + QString(40, QChar(0xE9)) + QString::fromUtf8("😀😀😀😀😀😀😀😀") + QString(120, u'x');
    const QList<QByteArray> parts = CalendarExport::foldedLine(line).split('\n');
    ASSERT_GT(parts.size(), 4);
    EXPECT_TRUE(parts.last().isEmpty()) << "the line ends in CRLF";
    QByteArray unfolded;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        ASSERT_TRUE(parts.at(i).endsWith('\r'));
        const QByteArray part = parts.at(i).chopped(1);
        EXPECT_LE(part.size(), 75);
        EXPECT_EQ(QString::fromUtf8(part).toUtf8(), part) << "a part that is no whole UTF-8: " << i;
        ASSERT_EQ(i > 0, part.startsWith(' '));
        unfolded += i > 0 ? part.mid(1) : part;
    }
    EXPECT_EQ(QString::fromUtf8(unfolded), line);
    EXPECT_EQ(CalendarExport::foldedLine(QString(75, u'y')), QByteArray(75, 'y') + "\r\n") << "75 octets fit";
}

TEST(CalendarExport, HostileTitlesReadBackUnchangedWithStableUidsAndAlarms)
{
    Log::setEchoToStandardError(false);
    const QStringList titles {QStringLiteral("Comma, Semicolon; Backslash\\ and: colon"), QStringLiteral("Two\nlines"),
                              QString::fromUtf8("Émoji 😀 日本語"), QString(200, u'W') + QString::fromUtf8("😀")};
    QList<LicenceTerms> products;
    QList<LicenceDueEntry> entries;
    for (int i = 0; i < titles.size(); ++i) {
        LicenceTerms terms;
        terms.uuid = QStringLiteral("uuid-%1").arg(i);
        terms.title = titles.at(i);
        terms.expiryDate = QDate(2027, 1, 15);
        terms.renewalDate = i == 1 ? QDate(2027, 3, 1) : QDate(2026, 1, 31);
        terms.renewalPeriodMonths = i == 1 ? 0 : 12;
        terms.renewalPrice = Persistence::Decimal::fromString(u"49.00");
        terms.currencySymbol = QStringLiteral("$");
        terms.remindDaysBefore = i == 2 ? 0 : 14;
        products.append(terms);
        entries.append(LicenceDue::occurrences(terms, QDate(2026, 12, 8)));
    }
    const QDateTime stamp(QDate(2026, 12, 8), QTime(9, 30), Qt::UTC);
    CalendarExport calendar(stamp);
    calendar.addEntries(products, entries);
    CalendarExport again(stamp);
    again.addEntries(products, entries);
    const QByteArray text = calendar.text();
    EXPECT_EQ(again.text(), text) << "the same dates give the same file";
    EXPECT_EQ(text.count('\n'), text.count("\r\n"));
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("licences.ics"));
    ASSERT_TRUE(calendar.write(path, nullptr));

    const std::optional<QJsonObject> read = readBack(path);
    if (!read) {
        GTEST_SKIP() << "the icalendar package of Python is not installed";
    }
    EXPECT_EQ(read->value(QStringLiteral("version")).toString(), QStringLiteral("2.0"));
    QHash<QString, QJsonObject> byUid;
    for (const QJsonValue& event : read->value(QStringLiteral("events")).toArray()) {
        byUid.insert(event[QStringLiteral("uid")].toString(), event.toObject());
        EXPECT_TRUE(event[QStringLiteral("stamp")].toBool());
        EXPECT_EQ(event[QStringLiteral("alarmAction")].toString(), QStringLiteral("DISPLAY"));
    }
    ASSERT_EQ(byUid.size(), 8);
    for (int i = 0; i < titles.size(); ++i) {
        const QJsonObject expiry = byUid.value(QStringLiteral("uuid-%1-expiry@keymoor").arg(i));
        EXPECT_TRUE(expiry[QStringLiteral("summary")].toString().contains(titles.at(i))) << i;
        EXPECT_EQ(expiry[QStringLiteral("start")].toString(), QStringLiteral("2027-01-15"));
        EXPECT_EQ(expiry[QStringLiteral("end")].toString(), QStringLiteral("2027-01-16"));
    }
    const QJsonObject repeating = byUid.value(QStringLiteral("uuid-0-renewal@keymoor"));
    EXPECT_EQ(repeating[QStringLiteral("rrule")].toString(),
              QStringLiteral("FREQ=MONTHLY;INTERVAL=12;BYMONTHDAY=28,29,30,31;BYSETPOS=-1"))
        << "a renewal on the 31st falls on the last day of shorter months";
    EXPECT_EQ(repeating[QStringLiteral("start")].toString(), QStringLiteral("2026-01-31")) << "from the first date";
    EXPECT_TRUE(repeating[QStringLiteral("description")].toString().contains(QStringLiteral("49.00 USD")));
    EXPECT_EQ(repeating[QStringLiteral("trigger")].toString(), QStringLiteral("-P14D"));
    const QJsonObject once = byUid.value(QStringLiteral("uuid-1-renewal@keymoor"));
    EXPECT_TRUE(once[QStringLiteral("rrule")].toString().isEmpty());
    EXPECT_EQ(once[QStringLiteral("start")].toString(), QStringLiteral("2027-03-01"));
    const QString atStart = byUid.value(QStringLiteral("uuid-2-expiry@keymoor"))[QStringLiteral("trigger")].toString();
    EXPECT_TRUE(atStart == QStringLiteral("PT0S") || atStart == QStringLiteral("P0D")) << atStart.toStdString();
}
