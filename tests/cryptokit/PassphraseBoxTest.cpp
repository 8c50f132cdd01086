// Sealing bytes under a passphrase: the layout browsers expect, and that nothing opens with the
// wrong passphrase or after tampering. A low iteration count keeps the derivations quick.
#include "ZRPassphraseBox.h"

#include <gtest/gtest.h>

namespace {

const QByteArray Passphrase("correct horse battery staple");
const QByteArray Plain(R"([{"title":"Test App","serialNumber":"ABC-123"}])");

ZRPassphraseBox sealed()
{
    const std::optional<ZRPassphraseBox> box = ZRPassphraseBox::seal(Plain, Passphrase, 1000);
    EXPECT_TRUE(box);
    return box.value_or(ZRPassphraseBox {});
}

} // namespace

TEST(PassphraseBox, SealsWithFreshSaltAndIVAndOpensWithThePassphrase)
{
    const ZRPassphraseBox box = sealed();
    EXPECT_EQ(box.iterations, 1000);
    EXPECT_EQ(box.salt.size(), ZRPassphraseBox::SaltLength);
    EXPECT_EQ(box.iv.size(), ZRPassphraseBox::IVLength);
    EXPECT_EQ(box.ciphertext.size(), Plain.size() + ZRPassphraseBox::TagLength);
    EXPECT_FALSE(box.ciphertext.contains("ABC-123"));
    EXPECT_EQ(box.open(Passphrase), Plain);

    const ZRPassphraseBox other = sealed();
    EXPECT_NE(other.salt, box.salt);
    EXPECT_NE(other.iv, box.iv);
    EXPECT_NE(other.ciphertext, box.ciphertext);
    EXPECT_EQ(ZRPassphraseBox::DefaultIterations, 600000);
}

TEST(PassphraseBox, WrongPassphraseOrTamperingOpensNothing)
{
    const ZRPassphraseBox box = sealed();
    EXPECT_FALSE(box.open("correct horse battery stapler"));
    EXPECT_FALSE(box.open(QByteArray()));
    for (const qsizetype at : {qsizetype(0), box.ciphertext.size() - 1}) { // in the text, in the tag
        ZRPassphraseBox tampered = box;
        tampered.ciphertext[at] = char(tampered.ciphertext[at] ^ 1);
        EXPECT_FALSE(tampered.open(Passphrase)) << at;
    }
    ZRPassphraseBox otherSalt = box;
    otherSalt.salt[0] = char(otherSalt.salt[0] ^ 1);
    EXPECT_FALSE(otherSalt.open(Passphrase));
    ZRPassphraseBox cut = box;
    cut.ciphertext.truncate(ZRPassphraseBox::TagLength - 1);
    EXPECT_FALSE(cut.open(Passphrase));
}

TEST(PassphraseBox, RefusesAnEmptyPassphraseButSealsEmptyText)
{
    EXPECT_FALSE(ZRPassphraseBox::seal(Plain, QByteArray(), 1000));
    EXPECT_FALSE(ZRPassphraseBox::seal(Plain, Passphrase, 0));
    const std::optional<ZRPassphraseBox> empty = ZRPassphraseBox::seal(QByteArray(), Passphrase, 1000);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->open(Passphrase), QByteArray(""));
}

TEST(PassphraseBox, SealsSeveralTextsUnderOneSaltWithAnIVEach)
{
    const QList<QByteArray> texts {Plain, QByteArray(R"({"uuid-1":"data:image/png;base64,iVBORw0K"})"), Plain};
    const std::optional<QList<ZRPassphraseBox>> boxes = ZRPassphraseBox::sealAll(texts, Passphrase, 1000);
    ASSERT_TRUE(boxes);
    ASSERT_EQ(boxes->size(), texts.size());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(boxes->at(i).salt, boxes->first().salt);
        EXPECT_EQ(boxes->at(i).open(Passphrase), texts.at(i));
        for (qsizetype j = 0; j < i; ++j) {
            EXPECT_NE(boxes->at(i).iv, boxes->at(j).iv) << i << " " << j;
        }
    }
    // The same text twice is sealed differently, so the boxes do not show that they are equal.
    EXPECT_NE(boxes->at(0).ciphertext, boxes->at(2).ciphertext);
    EXPECT_FALSE(ZRPassphraseBox::sealAll({}, Passphrase, 1000));
    EXPECT_FALSE(ZRPassphraseBox::sealAll(texts, QByteArray(), 1000));
}
