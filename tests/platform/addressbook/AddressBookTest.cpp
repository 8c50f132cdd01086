#include "addressbook/AddressBook.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Shows texts readably in failure messages.
[[maybe_unused]] static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

TEST(AddressBook, AccountNameComesFromTheCommentFieldElseTheLogin)
{
    const struct
    {
        const char* comment;
        const char* login;
        const char* name;
    } cases[] = {
        {"Jane Doe,Room 101,555-0100,", "jdoe", "Jane Doe"},
        {"Jane Doe", "jdoe", "Jane Doe"},
        {"& Smith,,,", "bob", "Bob Smith"},
        {"", "jdoe", "jdoe"},
        {",,,", "jdoe", "jdoe"},
        {"   ", "jdoe", "jdoe"},
    };
    for (const auto& entry : cases) {
        const AddressBookCard card
            = AddressBook::accountCard(QString::fromUtf8(entry.comment), QString::fromUtf8(entry.login));
        EXPECT_EQ(card.fullName(), QString::fromUtf8(entry.name)) << entry.comment;
        EXPECT_TRUE(card.emails.isEmpty());
        EXPECT_TRUE(card.organization.isEmpty());
    }
}

TEST(AddressBook, CardFileLivesInTheConfigurationFolder)
{
    const QString configuration = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    EXPECT_EQ(AddressBook::defaultCardPath(), configuration + QStringLiteral("/Keymoor/me.vcf"));
}

TEST(AddressBook, WithoutACardFileTheAccountStandsIn)
{
    QTemporaryDir folder;
    const auto card = AddressBook(folder.filePath(QStringLiteral("me.vcf"))).meCard();
    ASSERT_TRUE(card.has_value());
    EXPECT_FALSE(card->fullName().isEmpty());
    EXPECT_EQ(card->fullName(), AddressBook::currentAccountCard().fullName());
    EXPECT_EQ(card->primaryEmailIndex(), -1);
}

TEST(AddressBook, ReadsTheCardFileOrReportsWhyNot)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("me.vcf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Jane Doe\r\nORG:Example\r\nEMAIL;TYPE=WORK:jane@example.com\r\n"
               "END:VCARD\r\n");
    file.close();
    QString error;
    const auto card = AddressBook(path).meCard(&error);
    ASSERT_TRUE(card.has_value()) << error.toStdString();
    EXPECT_EQ(card->fullName(), QStringLiteral("Jane Doe"));
    EXPECT_EQ(card->firstEmailWithLabel(QStringLiteral("work")), QStringLiteral("jane@example.com"));
    EXPECT_TRUE(card->firstEmailWithLabel(QStringLiteral("home")).isEmpty());

    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("not a card");
    file.close();
    EXPECT_FALSE(AddressBook(path).meCard(&error).has_value());
    EXPECT_TRUE(error.contains(path));
}

TEST(AddressBookCard, PrimaryAddressIsTheMostPreferredElseTheFirst)
{
    const auto cardWith = [](std::initializer_list<int> preferences) {
        AddressBookCard card;
        int n = 0;
        for (const int preference : preferences) {
            card.emails.append({QStringLiteral("a%1@example.com").arg(n++), QStringLiteral("other"), preference});
        }
        return card;
    };
    EXPECT_EQ(cardWith({}).primaryEmailIndex(), -1);
    EXPECT_TRUE(cardWith({}).primaryEmail().isEmpty());
    EXPECT_EQ(cardWith({0, 0}).primaryEmailIndex(), 0);
    EXPECT_EQ(cardWith({0, 1, 1}).primaryEmailIndex(), 1);
    EXPECT_EQ(cardWith({0, 50, 3}).primaryEmailIndex(), 2);
    EXPECT_EQ(cardWith({0, 0, 7}).primaryEmail(), QStringLiteral("a2@example.com"));
}

} // namespace
