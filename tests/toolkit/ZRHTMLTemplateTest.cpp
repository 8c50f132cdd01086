#include "ZRHTMLTemplate.h"

#include "ToolkitTestSupport.h"
#include "ZRLog.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace {

QVariantMap reportValues()
{
    return {{QStringLiteral("title"), QStringLiteral("Products")}, {QStringLiteral("count"), 12}};
}

} // namespace

TEST(ZRHTMLTemplate, FillsEveryOccurrenceOfEachKey)
{
    const ZRHTMLTemplate page(QStringLiteral("<h1>{title}</h1><title>{title}</title><p>{count} · {ratio}</p>"));
    QVariantMap values = reportValues();
    values.insert(QStringLiteral("ratio"), 0.5);
    EXPECT_EQ(page.htmlForDictionary(values),
              QStringLiteral("<h1>Products</h1><title>Products</title><p>12 · 0.5</p>"));
}

TEST(ZRHTMLTemplate, LeavesEverythingElseAlone)
{
    const QString text = QStringLiteral("<style>p { color: red }</style>{missing} {title {} {{title}}");
    const QString filled = ZRHTMLTemplate(text).htmlForDictionary(reportValues());
    EXPECT_EQ(filled, QStringLiteral("<style>p { color: red }</style>{missing} {title {} {Products}"));
    const QString plain = QStringLiteral("<p>No placeholders</p>");
    EXPECT_EQ(ZRHTMLTemplate(plain).htmlForDictionary(reportValues()), plain);
    EXPECT_EQ(ZRHTMLTemplate(text).htmlForDictionary(QVariantMap()), text);
}

TEST(ZRHTMLTemplate, KeysAreTakenExactlyAsWritten)
{
    const QVariantMap values {{QStringLiteral(" spaced key "), QStringLiteral("A")},
                              {QStringLiteral("{braced}"), QStringLiteral("B")},
                              {QStringLiteral("a.b[0]"), QStringLiteral("C")}};
    const ZRHTMLTemplate page(QStringLiteral("{ spaced key }|{spaced key}|{{braced}}|{a.b[0]}"));
    EXPECT_EQ(page.htmlForDictionary(values), QStringLiteral("A|{spaced key}|B|C"));
}

TEST(ZRHTMLTemplate, LetterCaseMattersUnlessTheOptionsSayOtherwise)
{
    ZRHTMLTemplate page(QStringLiteral("{Title}/{title}"));
    EXPECT_EQ(page.keySearchOptions(), uint(ZRHTMLTemplate::LiteralSearch));
    EXPECT_EQ(page.htmlForDictionary(reportValues()), QStringLiteral("{Title}/Products"));
    page.setKeySearchOptions(ZRHTMLTemplate::CaseInsensitiveSearch);
    EXPECT_EQ(page.htmlForDictionary(reportValues()), QStringLiteral("Products/Products"));
}

TEST(ZRHTMLTemplate, ValuesAreWrittenAsText)
{
    const ZRHTMLTemplate page(QStringLiteral("{n}|{neg}|{big}|{none}|{when}"));
    const QVariantMap values {{QStringLiteral("n"), 42},
                              {QStringLiteral("neg"), -7},
                              {QStringLiteral("big"), qint64(12345678901)},
                              {QStringLiteral("none"), QVariant()},
                              {QStringLiteral("when"), QDateTime(QDate(2009, 3, 3), QTime(10, 20), Qt::UTC)}};
    EXPECT_EQ(page.htmlForDictionary(values), QStringLiteral("42|-7|12345678901||2009-03-03T10:20:00.000Z"));
}

TEST(ZRHTMLTemplate, ValuesAreFilledOneKeyAtATimeInKeyOrder)
{
    // "a" comes before "b", so a placeholder that "a" brings in is filled by "b"; the reverse is not.
    const QVariantMap values {{QStringLiteral("a"), QStringLiteral("<{b}>")},
                              {QStringLiteral("b"), QStringLiteral("[{a}]")}};
    EXPECT_EQ(ZRHTMLTemplate(QStringLiteral("{a}")).htmlForDictionary(values), QStringLiteral("<[{a}]>"));
    // A value holding its own placeholder is written once, not filled again.
    EXPECT_EQ(
        ZRHTMLTemplate(QStringLiteral("{a}{a}")).htmlForDictionary({{QStringLiteral("a"), QStringLiteral("{a}")}}),
        QStringLiteral("{a}{a}"));
}

TEST(ZRHTMLTemplate, ReadsAUtf8File)
{
    const ZRHTMLTemplate page
        = ZRHTMLTemplate::initWithContentsOfFile(toolkitFixture(QStringLiteral("templates/report.html")));
    EXPECT_EQ(page.keySearchOptions(), uint(ZRHTMLTemplate::LiteralSearch));
    EXPECT_EQ(
        page.htmlForDictionary(reportValues()),
        QStringLiteral("<html><head><title>Products</title></head><body><p>{Title} – 12 items</p></body></html>\n"));
}

TEST(ZRHTMLTemplate, UnusableFilesGiveAnEmptyTemplateAndALogLine)
{
    const char* names[] = {"templates/missing.html", "templates/empty.html", "templates/invalid-utf8.html"};
    for (const char* name : names) {
        const QString path = toolkitFixture(QString::fromUtf8(name));
        QStringList lines;
        ZRLog::setHandler([&lines](const QString& line) { lines.append(line); });
        const ZRHTMLTemplate page = ZRHTMLTemplate::initWithContentsOfFile(path);
        ZRLog::setHandler(nullptr);
        EXPECT_TRUE(page.htmlForDictionary(reportValues()).isEmpty()) << name;
        ASSERT_EQ(lines.size(), 1) << name;
        EXPECT_TRUE(lines.front().startsWith(QStringLiteral("Error reading template file: ") + path + " error:"))
            << lines.front().toStdString();
    }
}
