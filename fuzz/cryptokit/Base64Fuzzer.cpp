// Decodes arbitrary text in both modes and checks that encoding the input bytes and decoding the
// result gives them back, with and without line breaks.
#include "ZRBase64.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = QString::fromUtf8(bytes);
    if (ZR_decodeBase64(text).isNull() || ZR_decodeBase64WithNewlines(text, false).isNull()) {
        std::abort();
    }
    if (ZR_decodeBase64(ZR_encodeBase64(bytes)) != bytes) {
        std::abort();
    }
    if (ZR_decodeBase64WithNewlines(ZR_encodeBase64WithNewlines(bytes, false), false) != bytes) {
        std::abort();
    }
    return 0;
}
