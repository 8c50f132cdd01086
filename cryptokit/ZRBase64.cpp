#include "ZRBase64.h"

#include "ZRCryptoKitLog.h"

#include <algorithm>
#include <memory>
#include <openssl/bio.h>
#include <openssl/buffer.h>
#include <openssl/evp.h>

namespace {

struct BioChainDeleter
{
    void operator()(BIO* bio) const { BIO_free_all(bio); }
};
using BioChain = std::unique_ptr<BIO, BioChainDeleter>;

// Largest piece handed to the filter in one call (its lengths are ints).
constexpr qsizetype WritePiece = qsizetype(1) << 30;
// The filter is read in pieces of this size.
constexpr int ReadPiece = 512;

BioChain makeBase64Filter(bool newlines)
{
    BIO* filter = BIO_new(BIO_f_base64());
    if (filter != nullptr && !newlines) {
        BIO_set_flags(filter, BIO_FLAGS_BASE64_NO_NL);
    }
    return BioChain(filter);
}

bool isAsciiWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// The filter's line mode decodes a text without any line feed to nothing, and a long single line
// followed by one to a fraction of its bytes; its one-line mode stops at the first line feed of a
// long text. So white space is taken out here and the filter always reads a single line.
QByteArray withoutWhiteSpace(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    bytes.erase(std::remove_if(bytes.begin(), bytes.end(), isAsciiWhiteSpace), bytes.end());
    return bytes;
}

} // namespace

QString ZR_encodeBase64WithNewlines(const QByteArray& receiver, bool newlines)
{
    BioChain chain = makeBase64Filter(newlines);
    BIO* sink = BIO_new(BIO_s_mem());
    if (!chain || sink == nullptr) {
        BIO_free(sink);
        return {};
    }
    BIO_push(chain.get(), sink);
    for (qsizetype offset = 0; offset < receiver.size();) {
        const int piece = static_cast<int>(std::min(receiver.size() - offset, WritePiece));
        const int written = BIO_write(chain.get(), receiver.constData() + offset, piece);
        if (written <= 0) {
            qCWarning(lcZRCryptoKit) << "ZR_encodeBase64WithNewlines: the base64 filter refused the data";
            return {};
        }
        offset += written;
    }
    if (BIO_flush(chain.get()) != 1) {
        return {};
    }
    BUF_MEM* encoded = nullptr;
    BIO_get_mem_ptr(sink, &encoded);
    if (encoded == nullptr) {
        return {};
    }
    return QString::fromLatin1(encoded->data, static_cast<qsizetype>(encoded->length));
}

QString ZR_encodeBase64(const QByteArray& receiver)
{
    return ZR_encodeBase64WithNewlines(receiver, true);
}

QByteArray ZR_decodeBase64WithNewlines(const QString& receiver, bool newlines)
{
    Q_UNUSED(newlines); // both forms of the text decode alike; see withoutWhiteSpace
    QByteArray decoded("");
    if (receiver.size() > ZRBase64MaximumTextSize) {
        qCWarning(lcZRCryptoKit) << "ZR_decodeBase64WithNewlines: text of" << receiver.size()
                                 << "characters is too long to decode";
        return decoded;
    }
    const QByteArray text = withoutWhiteSpace(receiver);
    if (text.isEmpty() || text.size() > ZRBase64MaximumTextSize) {
        return decoded;
    }
    BioChain chain = makeBase64Filter(false);
    BIO* source = BIO_new_mem_buf(text.constData(), static_cast<int>(text.size()));
    if (!chain || source == nullptr) {
        BIO_free(source);
        return decoded;
    }
    BIO_push(chain.get(), source);
    decoded.reserve(text.size() / 4 * 3 + 3);
    char piece[ReadPiece];
    int count = 0;
    while ((count = BIO_read(chain.get(), piece, ReadPiece)) > 0) {
        decoded.append(piece, count);
    }
    return decoded;
}

QByteArray ZR_decodeBase64(const QString& receiver)
{
    return ZR_decodeBase64WithNewlines(receiver, true);
}
