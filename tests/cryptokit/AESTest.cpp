#include "ZRAES.h"

#include <gtest/gtest.h>

namespace {

// The key "Keymoor licence key" (19 bytes): zero-padded to 32 bytes for AES-256, cut to its first
// 16 bytes ("Keymoor licence ") for AES-128.
const QByteArray TestKey("Keymoor licence key");

struct KnownAnswer
{
    const char* plain;
    const char* aes256;
    const char* aes128;
};

// Made with
//   IV=00000000000000000000000000000000
//   K256=4b65796d6f6f72206c6963656e6365206b657900000000000000000000000000
//   K128=4b65796d6f6f72206c6963656e636520
//   printf '%s' "$PLAIN" | openssl enc -aes-256-cbc -K $K256 -iv $IV | xxd -p
//   printf '%s' "$PLAIN" | openssl enc -aes-128-cbc -K $K128 -iv $IV | xxd -p
const KnownAnswer KnownAnswers[] = {
    {"", "bd5b9198ffffbc4d998c995f58bdb825", "b70b47d139b6e10d3b339fb48c1061f4"},
    {"abc", "b13f9243507a468fa0240380a876d6b7", "0901a637a4048f3814084b9826e314b5"},
    {"0123456789abcdef", "c95090a4dc1cd7bc5770d95604fac5c1312471cd81a1c715f3cf97f9e46a8195",
     "cc41296d80bbb3dc450b39397f70476ebad792d29933a2df5853966038db6ace"},
    {"The quick brown fox jumps over the lazy dog",
     "94262784e4f1d6f78e0d1f34157ea549ffbc0b7a903c0df09a773f8338a786c66cbbfe89114fa887a04466e883c75884",
     "255fe33513e783eb4929b13f0fe8e7ca1caa936ebbf5d0a39525a89915a4b0e34a6b4f78be0bb2b6170f51c8b819c108"},
};

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text));
}

} // namespace

TEST(AES, EncryptsToTheKnownAnswers)
{
    for (const KnownAnswer& answer : KnownAnswers) {
        SCOPED_TRACE(answer.plain);
        EXPECT_EQ(ZR_AES256EncryptWithKey(QByteArray(answer.plain), TestKey), hex(answer.aes256));
        EXPECT_EQ(ZR_AES128EncryptWithKey(QByteArray(answer.plain), TestKey), hex(answer.aes128));
    }
}

TEST(AES, DecryptsTheKnownAnswers)
{
    for (const KnownAnswer& answer : KnownAnswers) {
        SCOPED_TRACE(answer.plain);
        EXPECT_EQ(ZR_AES256DecryptWithKey(hex(answer.aes256), TestKey), QByteArray(answer.plain));
        EXPECT_EQ(ZR_AES128DecryptWithKey(hex(answer.aes128), TestKey), QByteArray(answer.plain));
    }
}

TEST(AES, KeysArePaddedWithZerosAndCutToTheKeySize)
{
    const QByteArray plain("licence");
    const QByteArray padded32 = TestKey + QByteArray(32 - TestKey.size(), '\0');
    const QByteArray longKey = padded32 + QByteArray("ignored tail");
    EXPECT_EQ(ZR_AES256EncryptWithKey(plain, padded32), ZR_AES256EncryptWithKey(plain, TestKey));
    EXPECT_EQ(ZR_AES256EncryptWithKey(plain, longKey), ZR_AES256EncryptWithKey(plain, TestKey));
    EXPECT_EQ(ZR_AES128EncryptWithKey(plain, TestKey.left(16)), ZR_AES128EncryptWithKey(plain, TestKey));
    EXPECT_NE(ZR_AES128EncryptWithKey(plain, TestKey.left(15)), ZR_AES128EncryptWithKey(plain, TestKey));
    // An empty key is an all-zero key, not an error.
    EXPECT_EQ(ZR_AES256EncryptWithKey(plain, QByteArray()), ZR_AES256EncryptWithKey(plain, QByteArray(32, '\0')));
}

TEST(AES, EncryptedLengthIsTheNextWholeBlock)
{
    const std::pair<qsizetype, qsizetype> rows[]
        = {{0, 16}, {1, 16}, {15, 16}, {16, 32}, {17, 32}, {31, 32}, {32, 48}, {1000, 1008}};
    for (const auto& [plainLength, encryptedLength] : rows) {
        SCOPED_TRACE(plainLength);
        const QByteArray plain(plainLength, 'x');
        const auto encrypted = ZR_AES256EncryptWithKey(plain, TestKey);
        ASSERT_TRUE(encrypted.has_value());
        EXPECT_EQ(encrypted->size(), encryptedLength);
        EXPECT_EQ(ZR_AES256DecryptWithKey(*encrypted, TestKey), plain);
        EXPECT_EQ(ZR_AES128EncryptWithKey(plain, TestKey)->size(), encryptedLength);
    }
}

TEST(AES, DecryptionFailsOnDamagedInputOrAWrongKey)
{
    const QByteArray encrypted = hex(KnownAnswers[3].aes256);
    EXPECT_FALSE(ZR_AES256DecryptWithKey(encrypted, QByteArray("another key")).has_value());
    EXPECT_FALSE(ZR_AES256DecryptWithKey(encrypted.left(40), TestKey).has_value());
    EXPECT_FALSE(ZR_AES256DecryptWithKey(encrypted.left(32), TestKey).has_value());
    EXPECT_FALSE(ZR_AES256DecryptWithKey(QByteArray(), TestKey).has_value());
    EXPECT_FALSE(ZR_AES128DecryptWithKey(hex(KnownAnswers[3].aes256), TestKey).has_value());
}
