#include "EmailTestSupport.h"
#include "base/KMRegex.h"
#include "email/ZREmailFileReader.h"
#include "email/ZREmailParser.h"
#include "email/ZRSerialPatternTable.h"
#include "email/ZRSerialScanner.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

using Source = ZRSerialScanner::Source;

ZRSerialScanner::Result scanText(const char* text)
{
    return ZRSerialScanner::scan(QString::fromUtf8(text));
}

} // namespace

TEST(SerialScanner, FindsTheExpectedSerialInEveryFixtureMessage)
{
    const QJsonObject expected
        = QJsonDocument::fromJson(readEmailData(QStringLiteral("serials/expected.json"))).object();
    const QStringList files
        = QDir(emailDataPath(QStringLiteral("serials"))).entryList({QStringLiteral("*.eml")}, QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), expected.size()) << "every fixture needs an expected result and the other way round";
    QSet<int> entriesSeen;
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        ASSERT_TRUE(expected.contains(file));
        const QJsonObject want = expected.value(file).toObject();
        QString error;
        const std::optional<ZREmail> email
            = ZREmailFileReader::read(emailDataPath(QStringLiteral("serials/") + file), &error);
        ASSERT_TRUE(email) << error.toStdString();
        const ZRSerialScanner::Result result = ZRSerialScanner::scan(email->textContent().value_or(QString()));
        if (want.value(QLatin1String("serial")).isNull()) {
            EXPECT_FALSE(result.serial) << result.serial->toStdString();
        } else {
            EXPECT_EQ(result.serial, want.value(QLatin1String("serial")).toString());
        }
        const QJsonValue rule = want.value(QLatin1String("rule"));
        if (rule.isDouble()) {
            EXPECT_EQ(result.source, Source::PatternTable);
            EXPECT_EQ(result.entry, rule.toInt());
            entriesSeen.insert(rule.toInt());
        } else {
            EXPECT_EQ(ZRSerialScanner::sourceName(result.source), rule.toString());
        }
    }
    EXPECT_GE(entriesSeen.size(), 40) << "one natural message per table entry, except the few that cannot have one";
}

TEST(SerialScanner, TableHasItsEntriesInOrderWithTheSerialSubpattern)
{
    const QStringList& patterns = ZREmailParser::regexPatterns();
    ASSERT_EQ(patterns.size(), 44);
    const QString serial = QStringLiteral(R"re([a-zA-Z0-9\+\-\.\#%/]{3,}+=*+)re");
    EXPECT_EQ(ZRSerialPatternTable::serialSubpattern(), serial);
    EXPECT_EQ(
        patterns.at(0),
        QStringLiteral(
            R"re((?:License: Keyboard Maestro .*\n[ ]*Download:.*\n[ ]*Username:.*\n[ ]*Serial:[ ]*)([a-zA-Z0-9]+))re"));
    EXPECT_EQ(patterns.at(10), QStringLiteral("(?:serial number|license key|registration number): (") + serial + ')');
    EXPECT_EQ(patterns.at(12), QStringLiteral(R"re(License Key :\n[ ]*Name : ".*"\n[ ]*"([a-zA-Z0-9\-]+)")re"));
    EXPECT_EQ(patterns.at(16), QStringLiteral("(?im)ZOT!(.|\n)*S/n: (") + serial + ')'); // a real line feed
    EXPECT_EQ(patterns.at(23), QStringLiteral("(?:resgister number):( )*(") + serial + ')');
    EXPECT_EQ(patterns.at(35), QStringLiteral(R"re((?:"license key" enter:)[\n]*()re") + serial + ')');
    EXPECT_EQ(patterns.at(43), QStringLiteral(R"re((?>License Key \(next 4 lines\):\n)([a-zA-Z0-9\n]+)(?=\n\n\n))re"));
    for (int i = 0; i < patterns.size(); ++i) {
        QString error;
        EXPECT_TRUE(KMRegex::isValidPattern(QStringLiteral("(?im)") + patterns.at(i), &error))
            << "entry " << i + 1 << ": " << error.toStdString();
        EXPECT_EQ(patterns.at(i).contains(QLatin1String("%@")), false) << "entry " << i + 1;
    }
}

TEST(SerialScanner, EarlierEntriesWinAndLookBehindsExclude)
{
    struct Case
    {
        const char* text;
        std::optional<QString> serial;
        int entry; // 0: nothing found
    };
    const Case cases[] = {
        // Entry 11 is tried before entry 42, whatever their order in the text.
        {"Serial: LATER-0001\nSerial Number: EARLY-0002\n", QStringLiteral("EARLY-0002"), 11},
        {"Product Code: 12345\n", std::nullopt, 0},
        {"Coupon code: SAVE-2023\nRegistration Code: 1234-5678\n", QStringLiteral("1234-5678"), 16},
        {"Order Number: 100234\n", std::nullopt, 0},
        {"Order Number: 100234\nSerial Number: 100234\n", QStringLiteral("100234"), 11},
        {"Phone Number: 5550100\nAccount Number: 777888\n", std::nullopt, 0},
        {"PayPal FSA Register =\nNumber: 12345678\n", std::nullopt, 0},
        {"Licence Number: LN-1\n", QStringLiteral("LN-1"), 30},
        // Entry 16 shadows entry 31 for any key it can take.
        {"Activation Key:\n  ACT-1234\n", QStringLiteral("ACT-1234"), 16},
        {"Activation Key:\n  AB\n", QStringLiteral("AB"), 31},
        // Entry 19 only matches across a line break right after the word "serial".
        {"Your serial\nline-break: LB-7788\n", QStringLiteral("LB-7788"), 19},
        // A key too short for the serial sub-pattern falls through to the late, looser entries.
        {"Serial Number: 42\n", QStringLiteral("42"), 41},
        // Entry 32 can match an empty key: an empty serial is a result, not nothing.
        {"* Code for 2 x Example Suite - \n", QStringLiteral(""), 32},
        {"Thank you for your order.\n", std::nullopt, 0},
    };
    for (const Case& c : cases) {
        const ZRSerialScanner::Result result = scanText(c.text);
        EXPECT_EQ(result.serial, c.serial) << c.text;
        EXPECT_EQ(result.entry, c.entry) << c.text;
    }
}

TEST(SerialScanner, VendorExtractorsDecideEvenWhenTheyFindNothing)
{
    // The TextMate extractor alone handles a message naming it, even with a line the table would take.
    const ZRSerialScanner::Result textMate = scanText("TextMate bundle\nSerial Number: ABC-1234\n");
    EXPECT_EQ(textMate.source, Source::TextMate);
    EXPECT_FALSE(textMate.serial);
    EXPECT_EQ(scanText("Captain FTP\nSerial Number: ABC-1234\n").serial, std::nullopt);
    EXPECT_EQ(scanText("Liquid Ledger\nkey is: LL-1\n").serial, QStringLiteral("LL-1"));
    EXPECT_EQ(scanText("oXygen\n------START-LICENSE-KEY------\nabc").serial,
              QStringLiteral("------START-LICENSE-KEY------\nabc"));
    EXPECT_EQ(scanText("oXygen\nno key block\n").source, Source::OXygen);
    EXPECT_EQ(scanText("FileChute\nSerial Number: \n\n").serial, std::nullopt);
    // AquaMinds without NoteTaker is no NoteTaker message.
    const ZRSerialScanner::Result aquaMinds = scanText("AquaMinds store\nSerial Number: AQ-1234\n");
    EXPECT_EQ(aquaMinds.source, Source::PatternTable);
    EXPECT_EQ(aquaMinds.serial, QStringLiteral("AQ-1234"));
    EXPECT_EQ(scanText("aquaminds notetaker\nLicensee Name: J\nKey\n\nrest").serial,
              QStringLiteral("Licensee Name: J\nKey"));
}

TEST(SerialScanner, CleaningKeepsOpeningBoldTags)
{
    EXPECT_EQ(ZRSerialScanner::cleanedText(QStringLiteral("<P>Key:</p>\t<B>K-1</b><br/>x&NBSP;y> z")),
              QStringLiteral("Key:<BK-1x yz"));
    // The closing tag goes, the opening one stays, and no entry takes a key starting with "<".
    EXPECT_EQ(scanText("<p>License Key: <b>ABCD-1234-EFGH</b></p>").serial, std::nullopt);
    EXPECT_EQ(scanText("<p>License Key: ABCD-1234-EFGH</p>").serial, QStringLiteral("ABCD-1234-EFGH"));
    EXPECT_EQ(scanText("Serial Number:&nbsp;SN-1&nbsp;").serial, QStringLiteral("SN-1"));
}

TEST(SerialScanner, TakesLineEndsAsGiven)
{
    // The scanner does not normalise: "\r\n\r\n" is no blank line for entry 12. The e-mail model
    // hands out decoded text with "\n" line ends (see the base64 CR LF fixture).
    EXPECT_EQ(scanText("Your code is: CODE-1\n\nBye").entry, 12);
    EXPECT_NE(scanText("Your code is: CODE-1\r\n\r\nBye").entry, 12);
}

TEST(SerialScanner, BacktrackingShapesOfFiveMegabytesStayWithinTheTimeLimit)
{
    LogCapture log;
    QString text;
    // Entry 3 runs its alternation over line breaks from every "1Password" to the end of the text,
    // entry 17 from every "ZOT!".
    const QString unit = QStringLiteral("1Password key: abc <td x <tr>\nZOT! S/n <tr>\n");
    while (text.size() < 5 * 1024 * 1024) {
        text += unit;
    }
    const ZRSerialScanner::Limits limits;
    QElapsedTimer timer;
    timer.start();
    const ZRSerialScanner::Result result = ZRSerialScanner::scan(text, limits);
    const qint64 elapsed = timer.elapsed();
    EXPECT_LT(elapsed, limits.total.count() + 1500) << "the scan's budget bounds it";
    EXPECT_TRUE(log.contains(QStringLiteral("treated as no match"))) << "entries 3 and 17 give up";
    if (result.serial) {
        EXPECT_EQ(result.entry, 16); // "key: abc", when the budget lasts that far
    }
}

TEST(SerialScanner, TheBudgetEndsAScanEarly)
{
    LogCapture log;
    const QString text = QString(200000, QLatin1Char('x')) + QStringLiteral("\nSerial: LAST-1\n");
    const ZRSerialScanner::Result spent
        = ZRSerialScanner::scan(text, {std::chrono::milliseconds(0), std::chrono::milliseconds(0)});
    EXPECT_FALSE(spent.serial);
    EXPECT_EQ(ZRSerialScanner::scan(text).serial, QStringLiteral("LAST-1"));
}
