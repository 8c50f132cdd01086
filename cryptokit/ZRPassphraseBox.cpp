#include "ZRPassphraseBox.h"

#include <algorithm>
#include <memory>
#include <openssl/evp.h>
#include <openssl/rand.h>

namespace {

constexpr int KeyLength = 32;

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

std::optional<QByteArray> deriveKey(const QByteArray& passphrase, const QByteArray& salt, int iterations)
{
    QByteArray key(KeyLength, '\0');
    const auto* saltBytes = reinterpret_cast<const unsigned char*>(salt.constData());
    if (PKCS5_PBKDF2_HMAC(passphrase.constData(), int(passphrase.size()), saltBytes, int(salt.size()), iterations,
                          EVP_sha256(), KeyLength, reinterpret_cast<unsigned char*>(key.data()))
        != 1) {
        return std::nullopt;
    }
    return key;
}

QByteArray randomBytes(int count)
{
    QByteArray bytes(count, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(bytes.data()), count) != 1) {
        return {};
    }
    return bytes;
}

// Runs AES-256-GCM over `input` (plaintext when encrypting, ciphertext without the tag when
// decrypting) and answers the output, or nothing when the cipher fails.
std::optional<QByteArray> runCipher(bool encrypt, const QByteArray& key, const QByteArray& iv, const QByteArray& input,
                                    QByteArray* tag)
{
    CipherContext context(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    const auto* keyBytes = reinterpret_cast<const unsigned char*>(key.constData());
    const auto* ivBytes = reinterpret_cast<const unsigned char*>(iv.constData());
    if (!context || EVP_CipherInit_ex(context.get(), EVP_aes_256_gcm(), nullptr, nullptr, nullptr, encrypt ? 1 : 0) != 1
        || EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_IVLEN, int(iv.size()), nullptr) != 1
        || EVP_CipherInit_ex(context.get(), nullptr, nullptr, keyBytes, ivBytes, encrypt ? 1 : 0) != 1) {
        return std::nullopt;
    }
    QByteArray output(input.size() + 16, '\0');
    int written = 0;
    if (EVP_CipherUpdate(context.get(), reinterpret_cast<unsigned char*>(output.data()), &written,
                         reinterpret_cast<const unsigned char*>(input.constData()), int(input.size()))
        != 1) {
        return std::nullopt;
    }
    if (!encrypt && EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_TAG, int(tag->size()), tag->data()) != 1) {
        return std::nullopt;
    }
    int finalWritten = 0;
    if (EVP_CipherFinal_ex(context.get(), reinterpret_cast<unsigned char*>(output.data()) + written, &finalWritten)
        != 1) {
        return std::nullopt; // on decryption: the tag does not match
    }
    output.truncate(written + finalWritten);
    if (encrypt) {
        tag->resize(ZRPassphraseBox::TagLength);
        if (EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_GET_TAG, ZRPassphraseBox::TagLength, tag->data()) != 1) {
            return std::nullopt;
        }
    }
    return output;
}

} // namespace

std::optional<ZRPassphraseBox> ZRPassphraseBox::seal(const QByteArray& plaintext, const QByteArray& passphrase,
                                                     int iterations)
{
    const std::optional<QList<ZRPassphraseBox>> boxes = sealAll({plaintext}, passphrase, iterations);
    return boxes ? std::optional(boxes->first()) : std::nullopt;
}

std::optional<QList<ZRPassphraseBox>> ZRPassphraseBox::sealAll(const QList<QByteArray>& plaintexts,
                                                               const QByteArray& passphrase, int iterations)
{
    if (passphrase.isEmpty() || iterations < 1 || plaintexts.isEmpty()) {
        return std::nullopt;
    }
    const QByteArray salt = randomBytes(SaltLength);
    const std::optional<QByteArray> key = salt.isEmpty() ? std::nullopt : deriveKey(passphrase, salt, iterations);
    if (!key) {
        return std::nullopt;
    }
    QList<ZRPassphraseBox> boxes;
    for (const QByteArray& plaintext : plaintexts) {
        ZRPassphraseBox box;
        box.iterations = iterations;
        box.salt = salt;
        box.iv = randomBytes(IVLength);
        const bool repeated = std::any_of(boxes.cbegin(), boxes.cend(), [&](const auto& b) { return b.iv == box.iv; });
        QByteArray tag;
        const std::optional<QByteArray> sealed
            = box.iv.isEmpty() || repeated ? std::nullopt : runCipher(true, *key, box.iv, plaintext, &tag);
        if (!sealed) {
            return std::nullopt;
        }
        box.ciphertext = *sealed + tag;
        boxes.append(box);
    }
    return boxes;
}

std::optional<QByteArray> ZRPassphraseBox::open(const QByteArray& passphrase) const
{
    if (iterations < 1 || iv.isEmpty() || ciphertext.size() < TagLength) {
        return std::nullopt;
    }
    const std::optional<QByteArray> key = deriveKey(passphrase, salt, iterations);
    QByteArray tag = ciphertext.right(TagLength);
    return key ? runCipher(false, *key, iv, ciphertext.chopped(TagLength), &tag) : std::nullopt;
}
