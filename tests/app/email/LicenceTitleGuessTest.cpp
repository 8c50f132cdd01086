#include "email/LicenceTitleGuess.h"

#include "EmailTestSupport.h"
#include "email/LicenceTitleSender.h"
#include "email/ZREmail.h"
#include "email/ZRRegistrationInfoScanner.h"

namespace {

struct TitleCase
{
    const char* subject; // nullptr: no Subject header
    const char* body;
    const char* serial;
    const char* title; // expected
};

ZREmail message(const char* from, const char* subject, const char* body, const char* contentType = "text/plain")
{
    QString text = QStringLiteral("From: %1\nTo: jane@example.com\nDate: Tue, 3 Mar 2020 10:00:00 +0000\n")
                       .arg(QString::fromUtf8(from));
    if (subject) {
        text += QStringLiteral("Subject: ") + QString::fromUtf8(subject) + QLatin1Char('\n');
    }
    text += QStringLiteral("Content-Type: %1; charset=utf-8\n\n").arg(QLatin1String(contentType))
        + QString::fromUtf8(body);
    return *ZREmail::emailFromString(text);
}

} // namespace

// Each row is a purchase mail as shops write them; the name must come out without the words,
// numbers, quotes and keys around it.
TEST(LicenceTitleGuess, NamesTheProductOfManyPurchaseMails)
{
    const TitleCase cases[] = {
        // Named in the body.
        {"Your purchase", "Hi Jane,\n\nThank you for purchasing Northwind Pro 3!\nSerial: NW3-1111-2222\n",
         "NW3-1111-2222", "Northwind Pro 3"},
        {"Order complete", "Product: Quill\nLicence key: QL-9981-AAAA\n", "QL-9981-AAAA", "Quill"},
        {"Welcome", "Here is your Seachart licence.\n\nKey: SC-77-88-99\n", "SC-77-88-99", "Seachart"},
        {"Thanks", "Thanks for buying \"Lantern\" from Beacon Labs.\nCode: LNT-00012\n", "LNT-00012", "Lantern"},
        {"Thanks", "Thank you for your purchase of Driftwood 2.0 (single user).\nKey: DW-4455\n", "DW-4455",
         "Driftwood 2.0"},
        {"Thanks", "Thank you for purchasing a licence for Meter™.\nSerial number: MTR-0099-1234\n", "MTR-0099-1234",
         "Meter"},
        {"Receipt", "You have purchased Compass Rose version 4.2.1 today.\nKey: CR-1\n", "CR-12345678", "Compass Rose"},
        {"Hello", "Product name:   'Orchard Notes'  \nRegistration code: ORN-1-2-3\n", "ORN-1-2-3", "Orchard Notes"},
        {"Keys", "Dear customer,\nyour new Tidewatch 2 license key is below:\n\nTW2-ABCD-EFGH\n", "TW2-ABCD-EFGH",
         "Tidewatch 2"},
        {"Keys", "Licence key for Harbour Studio: HB-6677-1122\n", "HB-6677-1122", "Harbour Studio"},
        {"Dein Kauf", "Vielen Dank für den Kauf von Feldblick Pro.\nLizenzschlüssel: FB-1234-5678\n", "FB-1234-5678",
         "Feldblick Pro"},
        {"Votre commande", "Merci pour votre achat de Rivage.\nClé : RV-2020-3030\n", "RV-2020-3030", "Rivage"},
        // A key line that states the name is passed over when the name would hold the key.
        {"Your Kestrel licence", "Thank you for purchasing KST-5555-6666.\nKey: KST-5555-6666\n", "KST-5555-6666",
         "Kestrel"},
        {"Your order", "Product: TTT-9999-0000\nThanks for ordering Gull Viewer!\n", "TTT-9999-0000", "Gull Viewer"},
        // Body names nothing: the subject with the order words removed.
        {"Your order #12345 — Tidewatch 2 license key", "Your key: TW-55-66-77\n", "TW-55-66-77", "Tidewatch 2"},
        {"Receipt for Harbour (Order ABC-123)", "Key: HBR-000-111\n", "HBR-000-111", "Harbour"},
        {"[Store] Licence for Meter", "Key: MET-000-111\n", "MET-000-111", "Meter"},
        {"Re: Fwd: Your Lighthouse registration", "Code: LH-9-8-7-6\n", "LH-9-8-7-6", "Lighthouse"},
        {"Invoice No. 2020-17: Pilotfish", "Serial: PF-2020-XXXX\n", "PF-2020-XXXX", "Pilotfish"},
        {"Order 55123 | Anchorage Backup | licence key", "Key: AB-77-11\n", "AB-77-11", "Anchorage Backup"},
        {"Your licence key: QQ-1234-5678 (Tern)", "Key: QQ-1234-5678\n", "QQ-1234-5678", "Tern"},
        {"Tern Pro - Registration", "Registration code: TP-3333\n", "TP-3333", "Tern Pro"},
        {"“Beacon” serial number", "Serial number: BC-1000-2000\n", "BC-1000-2000", "Beacon"},
        {"Danke! Bestellung #A-99812: Wellenreiter Lizenz", "Key: WR-1\n", "WR-1-XXXX", "Wellenreiter"},
        // A subject that is nothing but order words: the sender's name stands in.
        {"Your order confirmation #998877", "Serial: ZZ-0000-1111\n", "ZZ-0000-1111", "Northwind"},
        {nullptr, "Serial: ZZ-0000-1111\n", "ZZ-0000-1111", "Northwind"},
        // Sentences that look like naming but are not.
        {"Quill 2 upgrade", "Thank you for your order.\nThank you for choosing us.\nKey: QU-1\n", "QU-1234",
         "Quill 2 upgrade"},
        {"Driftwood", "Thanks for purchasing from our store at https://example.com/shop\nKey: DD-1\n", "DD-1111",
         "Driftwood"},
    };
    for (const TitleCase& test : cases) {
        const ZREmail email = message("Northwind Sales <orders@mail.northwind.example>", test.subject, test.body);
        const LicenceTitleGuess guess = LicenceTitleGuess::fromEmail(email, QString::fromUtf8(test.serial));
        EXPECT_EQ(guess.title, QString::fromUtf8(test.title))
            << (test.subject ? test.subject : "(no subject)") << " / " << test.body;
        EXPECT_FALSE(guess.title.contains(QString::fromUtf8(test.serial), Qt::CaseInsensitive)) << test.body;
    }
}

TEST(LicenceTitleGuess, ReadsHtmlOnlyAndEncodedMailsFromFiles)
{
    const std::pair<const char*, const char*> files[] = {
        {"html-only-table.eml", "Lodestar Maps"},
        {"html-entities-quoted-printable.eml", "Café & Co Planner"},
        {"base64-german.eml", "Sternwarte"},
        {"key-beside-name.eml", "Shoreline"},
    };
    for (const auto& [file, title] : files) {
        const auto email = ZREmail::emailFromData(readEmailData(QStringLiteral("licences/") + QLatin1String(file)),
                                                  ZRTextEncoding::UTF8);
        ASSERT_TRUE(email) << file;
        const auto info = ZRRegistrationInfoScanner::scanEmail(*email);
        ASSERT_TRUE(info) << file;
        const LicenceTitleGuess guess = LicenceTitleGuess::fromEmail(*email, info->serial);
        EXPECT_EQ(guess.title, QString::fromUtf8(title)) << file;
        EXPECT_FALSE(guess.title.contains(info->serial)) << file;
    }
}

TEST(LicenceTitleGuess, PublisherFromTheSendersNameElseItsDomain)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Northwind Sales <orders@northwind.example>", "Northwind"},
        {"\"Quill Team\" <team@quill.example>", "Quill"},
        {"Beacon Labs Store <noreply@beacon.example>", "Beacon Labs"},
        {"Harbour Studio via Checkout <billing@pay.example>", "Harbour Studio"},
        {"noreply@mail.seachart.com", "Seachart"},
        {"No-Reply <no-reply@email.tidewatch.co.uk>", "Tidewatch"},
        {"\"sales@news.meter.io\" <sales@news.meter.io>", "Meter"},
        {"orders@shop.lantern.example (The Store)", "Lantern"},
        {"Store <x@localhost>", ""},
        {"", ""},
    };
    for (const auto& [from, publisher] : cases) {
        EXPECT_EQ(LicenceTitleSender::publisher(QString::fromUtf8(from)), QString::fromUtf8(publisher)) << from;
    }
    const ZREmail email = message("Kestrel Software Sales <k@kestrel.example>", "Kestrel", "Key: KS-1\n");
    EXPECT_EQ(LicenceTitleGuess::fromEmail(email, QStringLiteral("KS-1")).publisher,
              QStringLiteral("Kestrel Software"));
}
