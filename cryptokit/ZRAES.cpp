#include "ZRAES.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <openssl/crypto.h>
#include <openssl/evp.h>

extern "C" {
const uint64_t ZRPlainDataChunkSize = 0x100000;
}

namespace {

constexpr qsizetype BlockSize = 16;
constexpr size_t LargestKeySize = 32;
// EVP takes int lengths; longer buffers go through it in pieces of this size.
constexpr qsizetype UpdatePiece = qsizetype(1) << 30;

enum class Direction { Decrypt = 0, Encrypt = 1 };

struct CipherContextDeleter
{
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherContextDeleter>;

// The zero-filled key block, wiped when it goes out of scope.
class KeyBlock
{
public:
    KeyBlock(const QByteArray& key, size_t keySize)
    {
        std::memcpy(m_bytes.data(), key.constData(), std::min(static_cast<size_t>(key.size()), keySize));
    }
    ~KeyBlock() { OPENSSL_cleanse(m_bytes.data(), m_bytes.size()); }
    KeyBlock(const KeyBlock&) = delete;
    KeyBlock& operator=(const KeyBlock&) = delete;

    const unsigned char* data() const { return m_bytes.data(); }

private:
    std::array<unsigned char, LargestKeySize> m_bytes {};
};

CipherContext makeContext(const QByteArray& key, size_t keySize, Direction direction)
{
    CipherContext context(EVP_CIPHER_CTX_new());
    if (!context) {
        return {};
    }
    const EVP_CIPHER* cipher = keySize == LargestKeySize ? EVP_aes_256_cbc() : EVP_aes_128_cbc();
    const KeyBlock keyBlock(key, keySize);
    const std::array<unsigned char, BlockSize> zeroVector {};
    if (EVP_CipherInit_ex(context.get(), cipher, nullptr, keyBlock.data(), zeroVector.data(),
                          static_cast<int>(direction))
        != 1) {
        return {};
    }
    return context;
}

std::optional<QByteArray> transform(const QByteArray& input, const QByteArray& key, size_t keySize, Direction direction)
{
    const CipherContext context = makeContext(key, keySize, direction);
    if (!context) {
        return std::nullopt;
    }
    QByteArray output(input.size() + BlockSize, Qt::Uninitialized);
    auto* out = reinterpret_cast<unsigned char*>(output.data());
    const auto* in = reinterpret_cast<const unsigned char*>(input.constData());
    qsizetype produced = 0;
    for (qsizetype offset = 0; offset < input.size(); offset += UpdatePiece) {
        const int piece = static_cast<int>(std::min(input.size() - offset, UpdatePiece));
        int written = 0;
        if (EVP_CipherUpdate(context.get(), out + produced, &written, in + offset, piece) != 1) {
            OPENSSL_cleanse(out, static_cast<size_t>(output.size()));
            return std::nullopt;
        }
        produced += written;
    }
    // Partial output is wiped on failure: on decryption it may hold plain text.
    int written = 0;
    if (EVP_CipherFinal_ex(context.get(), out + produced, &written) != 1) {
        OPENSSL_cleanse(out, static_cast<size_t>(output.size()));
        return std::nullopt;
    }
    output.truncate(produced + written);
    return output;
}

} // namespace

std::optional<QByteArray> ZR_AES256EncryptWithKey(const QByteArray& receiver, const QByteArray& key)
{
    return transform(receiver, key, 32, Direction::Encrypt);
}

std::optional<QByteArray> ZR_AES256DecryptWithKey(const QByteArray& receiver, const QByteArray& key)
{
    return transform(receiver, key, 32, Direction::Decrypt);
}

std::optional<QByteArray> ZR_AES128EncryptWithKey(const QByteArray& receiver, const QByteArray& key)
{
    return transform(receiver, key, 16, Direction::Encrypt);
}

std::optional<QByteArray> ZR_AES128DecryptWithKey(const QByteArray& receiver, const QByteArray& key)
{
    return transform(receiver, key, 16, Direction::Decrypt);
}
