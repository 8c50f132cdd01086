#include "EmailTestSupport.h"
#include "email/ZREmailFileReader.h"
#include "email/ZRSerialPatternFilter.h"
#include "email/ZRSerialPatternTable.h"
#include "email/ZRSerialScanner.h"

#include <QDir>
#include <QRandomGenerator>

namespace {

// The texts of every fixture message that has readable text.
QStringList fixtureTexts()
{
    QStringList texts;
    for (const char* folder : {"serials", "messages", "licences"}) {
        const QDir dir(emailDataPath(QLatin1String(folder)));
        for (const QString& file : dir.entryList({QStringLiteral("*.eml")}, QDir::Files, QDir::Name)) {
            QString error;
            const std::optional<ZREmail> email = ZREmailFileReader::read(dir.filePath(file), &error);
            if (email && email->textContent()) {
                texts.append(*email->textContent());
            }
        }
    }
    return texts;
}

// The line in another form: upper case, characters that fold to ASCII letters of the required
// words (long s, Kelvin sign, the "st" ligature), or other white space after a colon.
QString disguised(QString line, QRandomGenerator& random)
{
    switch (random.bounded(7)) {
    case 0:
        return line.toUpper();
    case 1:
        return line.replace(QLatin1Char('s'), QChar(0x017F));
    case 2:
        return line.replace(QLatin1Char('k'), QChar(0x212A)).replace(QLatin1Char('K'), QChar(0x212A));
    case 3:
        return line.replace(QLatin1String("st"), QString(QChar(0xFB06)));
    case 4:
        return line.replace(QLatin1String(": "), QLatin1String(":\n"));
    case 5:
        return line.replace(QLatin1String(": "), QLatin1String(":  "));
    default:
        return line + QLatin1Char(' ');
    }
}

// Texts made of runs of consecutive lines of the fixture messages in random order, some lines
// disguised: they hit the table's entries in many more combinations than the fixtures alone.
QStringList shuffledTexts(const QStringList& sources, int count)
{
    QList<QStringList> sourceLines;
    for (const QString& text : sources) {
        sourceLines.append(text.split(QLatin1Char('\n')));
    }
    QRandomGenerator random(20240611);
    QStringList texts;
    for (int i = 0; i < count; ++i) {
        QString text;
        for (int run = 1 + int(random.bounded(4)); run > 0; --run) {
            const QStringList& lines = sourceLines.at(random.bounded(int(sourceLines.size())));
            const int first = int(random.bounded(int(lines.size())));
            const int length = 1 + int(random.bounded(6));
            for (int line = first; line < std::min(int(lines.size()), first + length); ++line) {
                text += (random.bounded(3) == 0 ? disguised(lines.at(line), random) : lines.at(line))
                    + QLatin1Char('\n');
            }
        }
        texts.append(text);
    }
    return texts;
}

void expectSameWithAndWithoutSkipping(const QString& text)
{
    ZRSerialScanner::Limits all;
    all.skipImpossibleEntries = false;
    const ZRSerialScanner::Result tried = ZRSerialScanner::scan(text, all);
    const ZRSerialScanner::Result skipped = ZRSerialScanner::scan(text);
    EXPECT_EQ(skipped.serial, tried.serial) << text.toStdString();
    EXPECT_EQ(skipped.source, tried.source) << text.toStdString();
    EXPECT_EQ(skipped.entry, tried.entry) << text.toStdString();
}

} // namespace

TEST(SerialPatternFilter, SkippingEntriesChangesNoResult)
{
    LogCapture log;
    const QStringList fixtures = fixtureTexts();
    ASSERT_GE(fixtures.size(), 50);
    QSet<int> entries;
    for (const QStringList& texts : {fixtures, shuffledTexts(fixtures, 3000)}) {
        for (const QString& text : texts) {
            expectSameWithAndWithoutSkipping(text);
            entries.insert(ZRSerialScanner::scan(text).entry);
        }
    }
    EXPECT_GE(entries.size(), 35) << "the texts reach most of the table";
}

TEST(SerialPatternFilter, CharactersThatFoldToTheRequiredWordsStillMatch)
{
    // ICU compares case-insensitive patterns after full case folding, so these match entry 11.
    const QString texts[] = {
        QStringLiteral("License \u212Aey: KELVIN-1234\n"),
        QString(QChar(0x017F)) + QStringLiteral("erial Number: LONG-S-1234\n"),
        QStringLiteral("Regi\uFB06ration Number: LIGATURE-1234\n"),
        QStringLiteral("SERIAL NUMBER: UPPER-1234\n"),
    };
    for (const QString& text : texts) {
        expectSameWithAndWithoutSkipping(text);
        EXPECT_TRUE(ZRSerialPatternFilter(ZRSerialScanner::cleanedText(text)).mayMatch(10)) << text.toStdString();
    }
    EXPECT_EQ(ZRSerialScanner::scan(texts[0]).serial, QStringLiteral("KELVIN-1234"));
    EXPECT_EQ(ZRSerialPatternFilter::folded(QStringLiteral("STRA\u00DFE")), QStringLiteral("strasse"));
}

TEST(SerialPatternFilter, RequiredTextsAreFoldedAndRuleOutTextsWithoutThem)
{
    const QList<ZRSerialPatternTable::Requirement>& requirements = ZRSerialPatternTable::requirements();
    ASSERT_EQ(requirements.size(), ZRSerialPatternTable::EntryCount);
    for (int entry = 0; entry < requirements.size(); ++entry) {
        ASSERT_FALSE(requirements.at(entry).isEmpty()) << "entry " << entry + 1;
        for (const QStringList& group : requirements.at(entry)) {
            for (const QString& required : group) {
                EXPECT_FALSE(required.isEmpty()) << "entry " << entry + 1;
                EXPECT_EQ(ZRSerialPatternFilter::folded(required), required) << "entry " << entry + 1;
            }
        }
    }
    const ZRSerialPatternFilter ordinary(QStringLiteral("Thank you for your order, see you soon.\n"));
    const ZRSerialPatternFilter serial(QStringLiteral("Your SERIAL NUMBER: SN-1\n"));
    int ruledOut = 0;
    for (int entry = 0; entry < requirements.size(); ++entry) {
        ruledOut += ordinary.mayMatch(entry) ? 0 : 1;
    }
    EXPECT_EQ(ruledOut, ZRSerialPatternTable::EntryCount);
    EXPECT_TRUE(serial.mayMatch(10)); // "serial number: "
    EXPECT_TRUE(serial.mayMatch(29)); // "number: "
    EXPECT_FALSE(serial.mayMatch(41)); // needs "serial:", "license:" or "s/n:"
}
