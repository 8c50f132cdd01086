#include "EmailTestSupport.h"
#include "email/ZREmail.h"
#include "email/ZREmailDateParser.h"
#include "email/ZREmailParser.h"

namespace {

ZREmail fixture(const QString& name)
{
    const std::optional<ZREmail> email
        = ZREmail::emailFromData(readEmailData(QStringLiteral("messages/") + name), ZRTextEncoding::UTF8);
    EXPECT_TRUE(email.has_value()) << name.toStdString();
    return email ? *email : *ZREmail::emailFromString(QStringLiteral(""));
}

ZREmail message(const char* text)
{
    return *ZREmail::emailFromString(QString::fromUtf8(text));
}

} // namespace

TEST(EmailModel, FixtureMessagesGiveTheirHeadersAndReadableText)
{
    struct Case
    {
        const char* file;
        const char* subject;
        const char* date;
        bool hasHTML;
        std::vector<const char*> textContains;
        std::vector<const char*> textLacks;
    };
    const Case cases[] = {
        {"plain-7bit.eml",
         "Your order 4471",
         "2023-02-01T22:05:09Z",
         false,
         {"\n\nHello Jane,\n\nyour order 4471"},
         {}},
        {"quoted-printable-utf8.eml",
         "Ihre Bestellung bei M\xC3\xBCller Software \xE2\x80\x93 Lizenz",
         "2023-02-02T09:00:00Z",
         false,
         {"Gr\xC3\xBC\xC3\x9F"
          "e Jane",
          "https://mueller.example/download?file=my_app_v2.dmg&user=jane_appleseed",
          "Lizenzschl\xC3\xBCssel: MUE_2023_ABCD_EFGH"},
         {"=C3", "=\n"}},
        {"quoted-printable-latin1-folded-charset.eml",
         "Re\xC3\xA7u de paiement",
         "2023-02-03T07:15:00Z",
         false,
         {"Re\xC3\xA7u de paiement pour l'\xC3\xA9quipe.", "LAT1-\xC3\x89T\xC3\x89-0042"},
         {}},
        {"base64-windows-1252.eml",
         "Receipt",
         "2023-02-04T11:22:33Z",
         false,
         {"Jane \xE2\x80\x93 thank you!", "19,00 \xE2\x82\xAC",
          "W1252-\xC3\x85"
          "BC-0001"},
         {}},
        {"html-only-base64.eml",
         "Your purchase",
         "2023-02-05T12:00:00Z",
         true,
         {"<b>HTML-ONLY-1234</b>", "https://example.com/a_b_c"},
         {}},
        {"multipart-alternative.eml",
         "Your receipt",
         "2023-02-06T14:30:00Z",
         true,
         {"Thanks for your purchase!\nSerial Number: ALT-1111-2222",
          "<p>Serial Number: ALT-1111-2222</p></body></html>"},
         {"=21", "--alt-1"}},
        {"nested-multipart-mixed.eml",
         "Invoice and license",
         "2023-02-07T16:45:00Z",
         true,
         {"License Key: NEST-3333-4444\n", "<p>License Key: NEST-3333-4444</p>"},
         {"PDF", "JVBER", "--inner"}},
        {"mixed-with-text-attachment.eml",
         "License file attached",
         "2023-02-08T07:00:00Z",
         false,
         {"Your license file is attached."},
         {"ATTACHED-LICENSE"}},
        {"folded-content-type.eml", "Folded", "2023-02-09T07:00:00Z", false, {"Folded boundary text."}, {"--b1"}},
        {"crlf-line-ends.eml", "Line ends", "2023-02-10T07:00:00Z", false, {"\n\nFirst line\nSecond line\n"}, {"\r"}},
        {"cr-line-ends.eml", "Line ends", "2023-02-10T07:00:00Z", false, {"\n\nFirst line\nSecond line\n"}, {"\r"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const ZREmail email = fixture(QString::fromLatin1(c.file));
        EXPECT_EQ(email.subject(), QString::fromUtf8(c.subject));
        ASSERT_TRUE(email.dateReceived().has_value());
        EXPECT_EQ(email.dateReceived()->toUTC().toString(Qt::ISODate), QLatin1String(c.date));
        EXPECT_EQ(email.hasHTMLContent(), c.hasHTML);
        EXPECT_FALSE(email.rawSource().contains(QLatin1Char('\r')));
        const QString text = email.textContent().value_or(QString());
        for (const char* fragment : c.textContains) {
            EXPECT_TRUE(text.contains(QString::fromUtf8(fragment))) << fragment << "\n--- in ---\n"
                                                                    << text.toStdString();
        }
        for (const char* fragment : c.textLacks) {
            EXPECT_FALSE(text.contains(QString::fromUtf8(fragment))) << fragment;
        }
    }
}

TEST(EmailModel, SendersAndRecipientsAreDecodedAndUnfolded)
{
    EXPECT_EQ(fixture(QStringLiteral("quoted-printable-utf8.eml")).from(),
              QString::fromUtf8("M\xC3\xBCller Software <verkauf@mueller.example>"));
    EXPECT_EQ(fixture(QStringLiteral("multipart-alternative.eml")).to(),
              QStringLiteral("\"Appleseed, Jane\" <jane.appleseed@example.com>"));
    const ZREmail folded = message("To: Jane Appleseed\n <jane@example.com>\nSubject: Hello\n\tWorld\n\nbody");
    EXPECT_EQ(folded.to(), QStringLiteral("Jane Appleseed <jane@example.com>"));
    EXPECT_EQ(folded.subject(), QStringLiteral("Hello\tWorld"));
}

TEST(EmailModel, HTMLContentPicksTheHTMLPart)
{
    EXPECT_TRUE(
        fixture(QStringLiteral("html-only-base64.eml")).htmlContent().startsWith(QStringLiteral("<html><body>")));
    const QString alternative = fixture(QStringLiteral("multipart-alternative.eml")).htmlContent();
    EXPECT_TRUE(alternative.contains(QStringLiteral("<p>Serial Number: ALT-1111-2222</p></body></html>")));
    EXPECT_FALSE(alternative.contains(QStringLiteral("text/plain")));
    const QString nested = fixture(QStringLiteral("nested-multipart-mixed.eml")).htmlContent();
    EXPECT_EQ(nested.trimmed(), QStringLiteral("<html><body><p>License Key: NEST-3333-4444</p></body></html>"));

    LogCapture log;
    const ZREmail plain = fixture(QStringLiteral("plain-7bit.eml"));
    EXPECT_EQ(plain.htmlContent(), plain.rawSource());
    EXPECT_TRUE(log.contains(QStringLiteral("error, this email is of ContentType: text/plain; charset=us-ascii")));
    const ZREmail mixedWithoutHTML = fixture(QStringLiteral("mixed-with-text-attachment.eml"));
    EXPECT_EQ(mixedWithoutHTML.htmlContent(), mixedWithoutHTML.rawSource());
    EXPECT_TRUE(log.contains(QStringLiteral("could not locate any HTML content.")));
}

TEST(EmailModel, BoundaryFromTheContentTypeOrItsContinuationLine)
{
    const std::pair<const char*, std::optional<QString>> cases[] = {
        {"Content-Type: multipart/mixed; boundary=\"abc\"\n\n", QStringLiteral("--abc")},
        {"Content-Type: multipart/mixed; boundary = abc ; charset=x\n\n", QStringLiteral("--abc")},
        {"Content-Type: multipart/alternative;\n\tboundary=\"b1\"\n\n--b1\n", QStringLiteral("--b1")},
        {"Content-Type: multipart/alternative;\n boundary=b2; type=x\n\n", QStringLiteral("--b2")},
        {"Content-Type: multipart/mixed; boundary=\"\"\n\n", std::nullopt},
        {"Content-Type: text/plain\n\n", std::nullopt},
        // A "boundary=" in the body is no parameter of this message.
        {"Content-Type: text/plain\n\nuse boundary=zzz in your code\n", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(message(text).contentBoundary(), expected) << text;
    }
    EXPECT_EQ(fixture(QStringLiteral("folded-content-type.eml")).contentType(),
              QStringLiteral("multipart/alternative;"));
}

TEST(EmailModel, ContentHeadersComeFromTheOwnHeaderBlock)
{
    // No Content-Type of its own: the lines in the body belong to the text, not to the message.
    const ZREmail untyped = message("From: a@example.com\nSubject: forwarded\n\nIntro\n"
                                    "Content-Type: text/html\nContent-Transfer-Encoding: base64\n\nSGVsbG8=\n");
    EXPECT_FALSE(untyped.contentType());
    EXPECT_FALSE(untyped.contentTransferEncoding());
    EXPECT_FALSE(untyped.hasHTMLContent());
    EXPECT_TRUE(untyped.textContent()->contains(QStringLiteral("SGVsbG8=")));

    // A part that quotes header lines in its text is not decoded by them.
    const ZREmail quoting = message("Content-Type: multipart/mixed; boundary=\"q\"\n\n--q\n"
                                    "Content-Type: text/plain\n\nThe raw mail said:\nContent-Transfer-Encoding: "
                                    "quoted-printable\nkey=3Dvalue_1\n--q--\n");
    EXPECT_TRUE(quoting.textContent()->contains(QStringLiteral("key=3Dvalue_1")));
    // To, From, Subject and Date are still looked up anywhere.
    EXPECT_EQ(message("X-Note: none\n\nSubject: found in the body\n").subject(), QStringLiteral("found in the body"));
}

TEST(EmailModel, MediaTypeWordsInParametersDoNotDecide)
{
    const ZREmail email = message("Content-Type: multipart/mixed; boundary=\"plain-html-text\"\n\n"
                                  "--plain-html-text\nContent-Type: text/plain\n\nJust text.\n--plain-html-text--\n");
    EXPECT_FALSE(email.hasHTMLContent());
    EXPECT_EQ(email.textContent(), QStringLiteral("\n\nJust text.\n"));
    const ZREmail related = message("Content-Type: multipart/related; type=\"text/html\"; boundary=\"r\"\n\n"
                                    "--r\nContent-Type: text/html\n\n<p>Hi</p>\n--r--\n");
    EXPECT_EQ(related.textContent(), QStringLiteral("\n\n<p>Hi</p>\n"));
    const ZREmail capitalised = message("Content-Type: Multipart/Mixed; boundary=\"o\"\n\n--o\n"
                                        "Content-Type: Multipart/Alternative; boundary=\"i\"\n\n--i\n"
                                        "Content-Type: text/plain\nContent-Transfer-Encoding: quoted-printable\n\n"
                                        "caf=C3=A9\n--i--\n--o--\n");
    EXPECT_EQ(capitalised.textContent(), QString::fromUtf8("\n\ncaf\xC3\xA9\n"));
}

TEST(EmailModel, CachesFollowTheRawSource)
{
    ZREmail email = message("Subject: First\nTo: a@example.com\n\nbody");
    EXPECT_EQ(email.subject(), QStringLiteral("First"));
    email.setRawSource(QStringLiteral("Subject: Second\n\nbody"));
    EXPECT_EQ(email.subject(), QStringLiteral("Second"));
    EXPECT_EQ(email.to(), QStringLiteral("MissingEmailReceiver"));

    ZREmailParser::setLocalizer([](const QString& key) { return QStringLiteral("<%1>").arg(key); });
    email.setRawSource(email.rawSource()); // the same text keeps the cached values
    EXPECT_EQ(email.to(), QStringLiteral("MissingEmailReceiver"));
    email.clearAttributes();
    EXPECT_EQ(email.to(), QStringLiteral("<MissingEmailReceiver>"));
    EXPECT_EQ(email.from(), QStringLiteral("<MissingEmailSender>"));
    EXPECT_EQ(message("To: x\n\n").subject(), QStringLiteral("<MissingEmailSubject>"));
    ZREmailParser::setLocalizer({});
}

TEST(EmailModel, DatesInTheUsualForms)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Tue, 14 Mar 2023 09:26:53 +0100", "2023-03-14T08:26:53Z"},
        {"Tue, 14 Mar 2023 09:26:53 +0100 (CET)", "2023-03-14T08:26:53Z"},
        {"14 Mar 2023 09:26:53 -0800", "2023-03-14T17:26:53Z"},
        {"Tue, 14 Mar 23 09:26:53 GMT", "2023-03-14T09:26:53Z"},
        {"Tue, 14 Mar 2023 09:26 +0000", "2023-03-14T09:26:00Z"},
        {"Tue, 14 Mar 2023 09:26:53 EST", "2023-03-14T14:26:53Z"},
        {"Sat,  4 Mar 2023 09:26:53 +0100", "2023-03-04T08:26:53Z"},
        {"Tue, 14 Mar 2023 09:26:53", "2023-03-14T09:26:53Z"},
    };
    for (const auto& [value, expected] : cases) {
        const auto date = ZREmailDateParser::parse(QString::fromLatin1(value));
        ASSERT_TRUE(date.has_value()) << value;
        EXPECT_EQ(date->toUTC().toString(Qt::ISODate), QLatin1String(expected)) << value;
    }
    EXPECT_FALSE(ZREmailDateParser::parse(QStringLiteral("next Tuesday")));
    EXPECT_FALSE(ZREmailDateParser::parse(QStringLiteral("")));
    EXPECT_FALSE(message("Subject: no date\n\nbody").dateReceived());
}

TEST(EmailModel, MessagesThatCannotBeBuiltOrSplit)
{
    EXPECT_FALSE(ZREmail::emailFromString(QString()));
    EXPECT_FALSE(ZREmail::emailFromData(QByteArray("Subject: caf\xE9\n"), ZRTextEncoding::UTF8)); // nor ASCII
    const auto fallback = ZREmail::emailFromData(QByteArray("Subject: ascii\n\nx"), 999);
    ASSERT_TRUE(fallback);
    EXPECT_EQ(fallback->subject(), QStringLiteral("ascii"));

    LogCapture log;
    EXPECT_EQ(message("").bodyParts(), nullptr);
    EXPECT_TRUE(log.contains(QStringLiteral("Raw source has not been set yet")));
    EXPECT_EQ(message(" \n \n").bodyParts(), nullptr);
    EXPECT_TRUE(log.contains(QStringLiteral("Failed to parse email body from raw source!")));
    EXPECT_EQ(message("Content-Type: text/plain\n\nno parts").bodyParts()->size(), 0u);
}

TEST(EmailModel, DeeplyNestedPartsStopSplitting)
{
    QString text = QStringLiteral("Content-Type: text/plain\n\nDeep text\n");
    for (int level = 0; level < 200; ++level) {
        text = QStringLiteral("Content-Type: multipart/mixed; boundary=\"b%1\"\n\n--b%1\n%2\n--b%1--\n")
                   .arg(level)
                   .arg(text);
    }
    LogCapture log;
    const ZREmail email = *ZREmail::emailFromString(text);
    EXPECT_TRUE(email.textContent()->contains(QStringLiteral("Deep text")));
    EXPECT_TRUE(email.hasHTMLContent() == false);
    EXPECT_TRUE(log.contains(QStringLiteral("nested deeper than")));
}
