#include "addressbook/VCardReader.h"

#include "support/TestData.h"

#include <gtest/gtest.h>

// Shows texts readably in failure messages.
[[maybe_unused]] static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

QString dataPath(const char* name)
{
    return testDataPath("/platform/addressbook/") + QString::fromLatin1(name);
}

struct ExpectedEmail
{
    const char* address;
    const char* label;
    int preference;
};

struct CardCase
{
    const char* file;
    QString fullName;
    QString firstName;
    QString lastName;
    QString organization;
    std::vector<ExpectedEmail> emails;
    QString primaryEmail;
};

void PrintTo(const CardCase& cardCase, std::ostream* out)
{
    *out << cardCase.file;
}

class VCardFile : public ::testing::TestWithParam<CardCase>
{
};

TEST_P(VCardFile, GivesNamesOrganisationAndLabelledEmails)
{
    const CardCase& expected = GetParam();
    VCardReader reader;
    const auto card = reader.readFile(dataPath(expected.file));
    ASSERT_TRUE(card.has_value()) << reader.errorString().toStdString();
    EXPECT_EQ(card->fullName(), expected.fullName);
    EXPECT_EQ(card->firstName, expected.firstName);
    EXPECT_EQ(card->lastName, expected.lastName);
    EXPECT_EQ(card->organization, expected.organization);
    ASSERT_EQ(card->emails.size(), qsizetype(expected.emails.size()));
    for (size_t i = 0; i < expected.emails.size(); ++i) {
        EXPECT_EQ(card->emails.at(qsizetype(i)).address, QString::fromUtf8(expected.emails[i].address));
        EXPECT_EQ(card->emails.at(qsizetype(i)).label, QString::fromUtf8(expected.emails[i].label));
        EXPECT_EQ(card->emails.at(qsizetype(i)).preference, expected.emails[i].preference);
    }
    EXPECT_EQ(card->primaryEmail(), expected.primaryEmail);
}

INSTANTIATE_TEST_SUITE_P(Versions, VCardFile,
                         ::testing::Values(CardCase {"version-2.1-quoted-printable-and-nested-card.vcf",
                                                     QStringLiteral("Dr. Jürgen Müller"),
                                                     QStringLiteral("Jürgen"),
                                                     QStringLiteral("Müller"),
                                                     QStringLiteral("Beispiel GmbH"),
                                                     {{"juergen@example.org", "home", 0},
                                                      {"j.mueller@beispiel.example", "work", 1},
                                                      {"j@other.example", "other", 0}},
                                                     QStringLiteral("j.mueller@beispiel.example")},
                                           CardCase {"version-3.0-folded-lines-and-second-card.vcf",
                                                     QStringLiteral("Jane Q. Doe"),
                                                     QStringLiteral("Jane"),
                                                     QStringLiteral("Doe"),
                                                     QStringLiteral("Example, Inc."),
                                                     {{"jane@home.example", "home", 0},
                                                      {"jane.doe@work.example.com", "work", 1},
                                                      {"jane@other.example", "other", 0}},
                                                     QStringLiteral("jane.doe@work.example.com")},
                                           CardCase {"version-4.0-preference-ranks.vcf",
                                                     QStringLiteral("Zoë Ångström"),
                                                     QStringLiteral("Zoë"),
                                                     QStringLiteral("Ångström"),
                                                     QStringLiteral("Nordlicht AB"),
                                                     {{"zoe@nordlicht.example", "work", 2},
                                                      {"zoe@home.example", "home", 1},
                                                      {"zoe.second@home.example", "home", 0}},
                                                     QStringLiteral("zoe@home.example")},
                                           CardCase {"structured-name-only-without-end.vcf",
                                                     QStringLiteral("Mr. John Paul Smith Jr."),
                                                     QStringLiteral("John"),
                                                     QStringLiteral("Smith"),
                                                     QString(),
                                                     {},
                                                     QString()},
                                           CardCase {
                                               "windows-1252-without-charset.vcf",
                                               QStringLiteral("René Dupont"),
                                               QString(),
                                               QString(),
                                               QString(),
                                               {{"rene@example.fr", "other", 0}, {"rene@work.example.fr", "other", 0}},
                                               QStringLiteral("rene@example.fr")}));

TEST(VCardReader, RefusesWhatIsNoCard)
{
    VCardReader reader;
    EXPECT_FALSE(reader.readFile(dataPath("not-a-card.vcf")).has_value());
    EXPECT_TRUE(reader.errorString().contains(QStringLiteral("not-a-card.vcf")));
    EXPECT_FALSE(reader.readFile(dataPath("missing.vcf")).has_value());
    EXPECT_FALSE(reader.errorString().isEmpty());
    EXPECT_FALSE(reader.readData(QByteArray()).has_value());
    EXPECT_FALSE(reader.readData("END:VCARD\nFN:Nobody\n").has_value());

    QByteArray huge = "BEGIN:VCARD\nNOTE:";
    huge.append(QByteArray(VCardReader::MaximumSize, 'x'));
    EXPECT_FALSE(reader.readData(huge).has_value());
    EXPECT_FALSE(reader.errorString().isEmpty());
}

TEST(VCardReader, ToleratesDamagedLines)
{
    // Lines without a colon or a name, stray "=" in quoted-printable text and an unknown
    // character set: what can be read is read.
    const QByteArray data = "BEGIN:VCARD\n"
                            "this line has no value\n"
                            ":no name\n"
                            "FN;ENCODING=QUOTED-PRINTABLE:A=3Db =ZZ c\n"
                            "EMAIL;TYPE=\"work:main\";CHARSET=no-such-set:a@b.example\n"
                            "N:\n"
                            "END:VCARD\n";
    VCardReader reader;
    const auto card = reader.readData(data);
    ASSERT_TRUE(card.has_value()) << reader.errorString().toStdString();
    EXPECT_EQ(card->fullName(), QStringLiteral("A=b =ZZ c"));
    ASSERT_EQ(card->emails.size(), 1);
    EXPECT_EQ(card->emails.first().address, QStringLiteral("a@b.example"));
    EXPECT_EQ(card->emails.first().label, QStringLiteral("other"));
}

} // namespace
