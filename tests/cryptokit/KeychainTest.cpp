#include "ZRKeychain.h"

#include <QStringList>
#include <QUuid>

#include <gtest/gtest.h>

namespace {

QStringList capturedLines;

void captureMessage(QtMsgType, const QMessageLogContext& context, const QString& message)
{
    if (qstrcmp(context.category, "keymoor.cryptokit") == 0) {
        capturedLines.append(message);
    }
}

// Each test works on items whose names nobody else uses, and removes them afterwards.
class Keychain : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!ZRKeychain::isAvailable()) {
            GTEST_SKIP() << "No Secret Service on the session bus; run the suite through scripts/test to "
                            "test the keychain";
        }
        m_name = QStringLiteral("Keymoor test ") + QUuid::createUuid().toString(QUuid::WithoutBraces);
        capturedLines.clear();
        m_previousHandler = qInstallMessageHandler(captureMessage);
    }

    void TearDown() override
    {
        if (m_name.isEmpty()) {
            return;
        }
        qInstallMessageHandler(m_previousHandler);
        for (const QString& kind : m_kinds) {
            while (ZRKeychain::checkForExistanceOfKeychainItem(m_name, kind, Account)) {
                ASSERT_TRUE(ZRKeychain::deleteKeychainItem(m_name, kind, Account));
            }
        }
    }

    const QString& name() const { return m_name; }

    const QString Kind = QStringLiteral("application password");
    const QString Account = QStringLiteral("ada@example.org");

private:
    QString m_name;
    QStringList m_kinds {Kind, QStringLiteral("Lizenzschlüssel ✓")};
    QtMessageHandler m_previousHandler = nullptr;
};

} // namespace

TEST_F(Keychain, ItemLifeCycle)
{
    EXPECT_FALSE(ZRKeychain::checkForExistanceOfKeychainItem(name(), Kind, Account));
    EXPECT_EQ(ZRKeychain::passwordForKeychainItem(name(), Kind, Account), QString());

    ASSERT_TRUE(ZRKeychain::addKeychainItem(name(), Kind, Account, QStringLiteral("first secret")));
    EXPECT_TRUE(ZRKeychain::checkForExistanceOfKeychainItem(name(), Kind, Account));
    EXPECT_EQ(ZRKeychain::passwordForKeychainItem(name(), Kind, Account), QStringLiteral("first secret"));

    ASSERT_TRUE(ZRKeychain::modifyKeychainItem(name(), Kind, Account, QStringLiteral("second secret")));
    EXPECT_EQ(ZRKeychain::passwordForKeychainItem(name(), Kind, Account), QStringLiteral("second secret"));

    EXPECT_TRUE(ZRKeychain::deleteKeychainItem(name(), Kind, Account));
    EXPECT_FALSE(ZRKeychain::checkForExistanceOfKeychainItem(name(), Kind, Account));
    // Deleting what is not there is no failure.
    EXPECT_TRUE(ZRKeychain::deleteKeychainItem(name(), Kind, Account));
}

TEST_F(Keychain, ItemsMatchOnlyByAllThreeTextsInFull)
{
    ASSERT_TRUE(ZRKeychain::addKeychainItem(name(), Kind, Account, QStringLiteral("secret")));
    EXPECT_FALSE(ZRKeychain::checkForExistanceOfKeychainItem(name().chopped(1), Kind, Account));
    EXPECT_FALSE(ZRKeychain::checkForExistanceOfKeychainItem(name(), Kind + QLatin1Char(' '), Account));
    EXPECT_FALSE(ZRKeychain::checkForExistanceOfKeychainItem(name(), Kind, Account.toUpper()));
    EXPECT_EQ(ZRKeychain::passwordForKeychainItem(name(), QStringLiteral("other kind"), Account), QString());
    EXPECT_TRUE(ZRKeychain::deleteKeychainItem(name(), QStringLiteral("other kind"), Account));
    EXPECT_TRUE(ZRKeychain::checkForExistanceOfKeychainItem(name(), Kind, Account));
}

TEST_F(Keychain, TextsOutsideAsciiAndLongPasswordsComeBackWhole)
{
    const QString kind = QStringLiteral("Lizenzschlüssel ✓");
    const QString longPassword = QStringLiteral("ключ-€-").repeated(200); // well over 1023 UTF-8 bytes
    ASSERT_GT(longPassword.toUtf8().size(), 1023);
    ASSERT_TRUE(ZRKeychain::addKeychainItem(name(), kind, Account, longPassword));
    EXPECT_TRUE(ZRKeychain::checkForExistanceOfKeychainItem(name(), kind, Account));
    EXPECT_EQ(ZRKeychain::passwordForKeychainItem(name(), kind, Account), longPassword);
}

TEST_F(Keychain, AddingAnExistingItemFailsAndKeepsItsPassword)
{
    ASSERT_TRUE(ZRKeychain::addKeychainItem(name(), Kind, Account, QStringLiteral("original")));
    EXPECT_FALSE(ZRKeychain::addKeychainItem(name(), Kind, Account, QStringLiteral("replacement")));
    EXPECT_EQ(ZRKeychain::passwordForKeychainItem(name(), Kind, Account), QStringLiteral("original"));
    EXPECT_TRUE(
        capturedLines.contains(QStringLiteral("Error creating new item: %1").arg(ZRKeychain::StatusDuplicateItem)))
        << capturedLines.join(QLatin1Char('|')).toStdString();
}

TEST_F(Keychain, MissingItemsCannotBeModifiedOrRead)
{
    EXPECT_FALSE(ZRKeychain::modifyKeychainItem(name(), Kind, Account, QStringLiteral("secret")));
    EXPECT_FALSE(ZRKeychain::checkForExistanceOfKeychainItem(name(), Kind, Account));
    EXPECT_TRUE(capturedLines.contains(QStringLiteral("Error modifying item: %1").arg(ZRKeychain::StatusItemNotFound)));
    EXPECT_FALSE(ZRKeychain::passwordFromSecKeychainItemRef(nullptr).has_value());
    EXPECT_TRUE(capturedLines.contains(QStringLiteral("Error = %1").arg(ZRKeychain::StatusInvalidArgument)));
}

TEST_F(Keychain, TextsWithAZeroCharacterAreRefusedAndChangeNothing)
{
    const QString withZero = QStringLiteral("pass") + QChar(u'\0') + QStringLiteral("word");
    EXPECT_FALSE(ZRKeychain::addKeychainItem(name(), Kind, Account, withZero));
    EXPECT_FALSE(ZRKeychain::checkForExistanceOfKeychainItem(name(), Kind, Account));
    EXPECT_FALSE(ZRKeychain::addKeychainItem(name() + QChar(u'\0'), Kind, Account, QStringLiteral("secret")));
    EXPECT_FALSE(ZRKeychain::checkForExistanceOfKeychainItem(name(), Kind, Account));

    ASSERT_TRUE(ZRKeychain::addKeychainItem(name(), Kind, Account, QStringLiteral("secret")));
    EXPECT_FALSE(ZRKeychain::modifyKeychainItem(name(), Kind, Account, withZero));
    EXPECT_EQ(ZRKeychain::passwordForKeychainItem(name(), Kind, Account), QStringLiteral("secret"));
    EXPECT_FALSE(ZRKeychain::deleteKeychainItem(name() + QChar(u'\0'), Kind, Account));
    EXPECT_TRUE(ZRKeychain::checkForExistanceOfKeychainItem(name(), Kind, Account));
}

// Without a Secret Service every operation fails promptly instead of waiting.
TEST(KeychainWithoutService, OperationsFailCleanly)
{
    if (ZRKeychain::isAvailable()) {
        GTEST_SKIP() << "A Secret Service is running; this test covers its absence";
    }
    const QString name = QStringLiteral("Keymoor absent service");
    EXPECT_FALSE(ZRKeychain::addKeychainItem(name, QStringLiteral("kind"), QStringLiteral("account"), name));
    EXPECT_FALSE(ZRKeychain::checkForExistanceOfKeychainItem(name, QStringLiteral("kind"), QStringLiteral("account")));
    EXPECT_EQ(ZRKeychain::passwordForKeychainItem(name, QStringLiteral("kind"), QStringLiteral("account")), QString());
    EXPECT_FALSE(ZRKeychain::modifyKeychainItem(name, QStringLiteral("kind"), QStringLiteral("account"), name));
    EXPECT_FALSE(ZRKeychain::deleteKeychainItem(name, QStringLiteral("kind"), QStringLiteral("account")));
}
