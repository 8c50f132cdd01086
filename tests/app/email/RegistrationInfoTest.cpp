#include "EmailTestSupport.h"
#include "email/ZREmail.h"
#include "email/ZREmailParser.h"
#include "email/ZRRegistrationInfoScanner.h"

#include <QTimeZone>

TEST(RegistrationInfo, RegisteredEmailFromTheRecipient)
{
    const std::pair<std::optional<QString>, std::optional<QString>> cases[] = {
        {QStringLiteral("Jane Appleseed <jane.appleseed@example.com>"), QStringLiteral("jane.appleseed@example.com")},
        {QStringLiteral("\"Appleseed, Jane\" <jane+keys@example.com>"), QStringLiteral("jane+keys@example.com")},
        {QStringLiteral("jane@example.com, bob@example.com"), QStringLiteral("jane@example.com")},
        {QStringLiteral("(Jane) jane@example.co.uk."), QStringLiteral("jane@example.co.uk")},
        {QStringLiteral("undisclosed-recipients:;"), std::nullopt},
        {QStringLiteral("Undisclosed-Recipients: ;"), std::nullopt},
        {QStringLiteral("Jane Appleseed"), QStringLiteral("Jane Appleseed")}, // no address: the whole text
        {QStringLiteral("MissingEmailReceiver"), std::nullopt}, // the placeholder of a message without "To"
        {std::nullopt, std::nullopt},
    };
    for (const auto& [to, expected] : cases) {
        EXPECT_EQ(ZRRegistrationInfoScanner::registeredEmail(to), expected)
            << to.value_or(QStringLiteral("(none)")).toStdString();
    }
}

TEST(RegistrationInfo, ScanningAnAttachmentsStoredValues)
{
    const QByteArray bytes = readEmailData(QStringLiteral("serials/serial-number-latin1-qp.eml"));
    const QDateTime date(QDate(2023, 3, 12), QTime(8, 26, 53), QTimeZone::utc());
    const auto info = ZRRegistrationInfoScanner::scanAttachment(
        bytes, ZRTextEncoding::UTF8, QStringLiteral("Jane <jane.appleseed@example.com>"), date);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->serial, QStringLiteral("SN-4471-9920-AC31"));
    EXPECT_EQ(info->email, QStringLiteral("jane.appleseed@example.com"));
    EXPECT_EQ(info->date, date);

    EXPECT_FALSE(ZRRegistrationInfoScanner::scanAttachment(QByteArray("Subject: hi\n\nNo key here.\n"),
                                                           ZRTextEncoding::UTF8, QStringLiteral("a@b.example"), date));
    EXPECT_FALSE(ZRRegistrationInfoScanner::scanAttachment(QByteArray("\xFF\xFE\xFF"), ZRTextEncoding::UTF8,
                                                           std::nullopt, std::nullopt));
    const auto empty = ZRRegistrationInfoScanner::scanAttachment(QByteArray("Subject: x\n\n* Code for 1 x App - \n"),
                                                                 ZRTextEncoding::UTF8, std::nullopt, std::nullopt);
    ASSERT_TRUE(empty); // an empty serial still counts
    EXPECT_TRUE(empty->serial.isEmpty());
    EXPECT_FALSE(empty->email);
}

TEST(RegistrationInfo, MessageAtHandUsesItsOwnHeaders)
{
    const auto email = ZREmail::emailFromString(QStringLiteral(
        "To: undisclosed-recipients:;\nDate: Tue, 14 Mar 2023 09:26:53 +0100\n\nLicense Key: LK-1234-5678\n"));
    const auto info = ZRRegistrationInfoScanner::scanEmail(*email);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->serial, QStringLiteral("LK-1234-5678"));
    EXPECT_FALSE(info->email);
    EXPECT_EQ(info->date->toUTC().toString(Qt::ISODate), QStringLiteral("2023-03-14T08:26:53Z"));
}

TEST(RegistrationInfo, TheQuestionBeforeReplacingASerial)
{
    ZREmailParser::setLocalizer([](const QString& key) {
        static const QHash<QString, QString> texts {
            {QStringLiteral("ScannedInfoSerialNumberFormat"), QStringLiteral("Serial number: %@\n")},
            {QStringLiteral("ScannedInfoRegisteredEmail"), QStringLiteral("E-mail: %@\n")},
            {QStringLiteral("ScannedInfoPurchaseDate"), QStringLiteral("Purchased: %1\n")},
            {QStringLiteral("ScannedInfoMessageFormat"), QStringLiteral("Replace the current information?\n%@")},
        };
        return texts.value(key, key);
    });
    ZRRegistrationInfo info {QStringLiteral("NEW-2"), QStringLiteral("jane@example.com"),
                             QDateTime(QDate(2023, 3, 14), QTime(12, 0), QTimeZone::utc())};
    const ZRRegistrationUpdate update
        = ZRRegistrationInfoScanner::planUpdate(info, QStringLiteral("OLD-1"), true, QLocale(QStringLiteral("en_US")));
    EXPECT_TRUE(update.askFirst);
    EXPECT_EQ(update.question,
              QStringLiteral("Replace the current information?\nSerial number: NEW-2\n"
                             "E-mail: jane@example.com\nPurchased: Mar 14, 2023\n"));
    info.email.reset();
    info.date.reset();
    EXPECT_EQ(ZRRegistrationInfoScanner::replaceQuestion(info),
              QStringLiteral("Replace the current information?\nSerial number: NEW-2\n"));
    EXPECT_FALSE(ZRRegistrationInfoScanner::planUpdate(info, QString(), true).askFirst);
    EXPECT_FALSE(ZRRegistrationInfoScanner::planUpdate(info, QStringLiteral("OLD-1"), false).askFirst);
    ZREmailParser::setLocalizer({});
}
