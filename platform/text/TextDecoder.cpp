#include "TextDecoder.h"

#include <climits>
#include <unicode/ucnv.h>
#include <vector>

namespace {

UConverter* openConverter(const char* name)
{
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(name, &status);
    if (U_FAILURE(status)) {
        if (converter) {
            ucnv_close(converter);
        }
        return nullptr;
    }
    return converter;
}

} // namespace

void TextDecoder::Closer::operator()(UConverter* converter) const
{
    ucnv_close(converter);
}

TextDecoder::TextDecoder(const QByteArray& charsetName)
{
    // An empty name would open ICU's default converter, which depends on the process locale.
    if (!charsetName.trimmed().isEmpty()) {
        m_converter.reset(openConverter(charsetName.trimmed().constData()));
    }
}

TextDecoder TextDecoder::forCodePage(int codePage)
{
    TextDecoder decoder;
    if (codePage <= 0 || codePage > 65535) {
        return decoder;
    }
    if (codePage == 10000) {
        decoder.m_converter.reset(openConverter("macintosh"));
        return decoder;
    }
    // ICU knows most code pages as "windows-N", the OEM ones as "ibm-N", some only as "cpN".
    for (const char* pattern : {"windows-%d", "ibm-%d", "cp%d"}) {
        const QByteArray name = QByteArray(pattern).replace("%d", QByteArray::number(codePage));
        if (UConverter* converter = openConverter(name.constData())) {
            decoder.m_converter.reset(converter);
            break;
        }
    }
    return decoder;
}

TextDecoder::TextDecoder(TextDecoder&& other) noexcept = default;
TextDecoder& TextDecoder::operator=(TextDecoder&& other) noexcept = default;
TextDecoder::~TextDecoder() = default;

QString TextDecoder::decode(const QByteArray& bytes) const
{
    if (!m_converter) {
        return QString::fromLatin1(bytes);
    }
    if (bytes.isEmpty() || bytes.size() > INT_MAX / 2) {
        return {};
    }
    ucnv_resetToUnicode(m_converter.get());
    // Two UTF-16 units per byte are enough for every character set in use; ICU tells the length
    // needed when they are not.
    std::vector<UChar> buffer(size_t(bytes.size()) * 2 + 1);
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = ucnv_toUChars(m_converter.get(), buffer.data(), int32_t(buffer.size()), bytes.constData(),
                                   int32_t(bytes.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR && length > 0) {
        buffer.resize(size_t(length) + 1);
        status = U_ZERO_ERROR;
        ucnv_resetToUnicode(m_converter.get());
        length = ucnv_toUChars(m_converter.get(), buffer.data(), int32_t(buffer.size()), bytes.constData(),
                               int32_t(bytes.size()), &status);
    }
    if (U_FAILURE(status)) {
        return QString(bytes.size(), QChar::ReplacementCharacter);
    }
    return QString(reinterpret_cast<const QChar*>(buffer.data()), length);
}
