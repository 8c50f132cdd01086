#include "ui/ProductNotes.h"

#include <gtest/gtest.h>

namespace {

TEST(ProductNotes, ReadsUtf8AndRtfAndNeverDropsUnreadableBytes)
{
    const struct
    {
        const char* name;
        QByteArray bytes;
        QString text;
        bool richText;
    } cases[] = {
        {"empty", QByteArray(), QString(), false},
        {"utf-8", QStringLiteral("Lizenz für Jörg ✓").toUtf8(), QStringLiteral("Lizenz für Jörg ✓"), false},
        {"utf-8 mentioning rtf", QByteArray("see {\\rtf1 later"), QStringLiteral("see {\\rtf1 later"), false},
        {"rtf escapes", QByteArray("{\\rtf1 a\\{b\\}c\\\\d\\tab e\\par f}"), QStringLiteral("a{b}c\\d\te\nf"), true},
        {"rtf unicode with fallback", QByteArray("{\\rtf1\\uc2 x\\u-3913\\'3f\\'3fy}"), QStringLiteral("x\uF0B7y"),
         true},
        {"rtf skipped groups", QByteArray("{\\rtf1{\\*\\generator Writer;}{\\info{\\title T}}Body}"),
         QStringLiteral("Body"), true},
        {"rtf cut short", QByteArray("{\\rtf1 text\\'"), QStringLiteral("text\uFFFD"), true},
        {"latin-1", QByteArray("caf\xe9"), QStringLiteral("caf\u00e9"), true},
    };
    for (const auto& entry : cases) {
        const ProductNotes::Text notes = ProductNotes::fromComments(entry.bytes);
        EXPECT_EQ(notes.text, entry.text) << entry.name;
        EXPECT_EQ(notes.richText, entry.richText) << entry.name;
    }
}

TEST(ProductNotes, EmptyTextStoresNothing)
{
    EXPECT_TRUE(ProductNotes::toComments(QString()).isNull());
    EXPECT_EQ(ProductNotes::toComments(QStringLiteral("é")), QByteArray("\xc3\xa9"));
}

} // namespace
