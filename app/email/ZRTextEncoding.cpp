#include "ZRTextEncoding.h"

#include <memory>
#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

namespace {

struct ConverterCloser
{
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

std::optional<QString> convert(const QByteArray& bytes, const char* name, bool strict)
{
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open(name, &status));
    if (U_FAILURE(status) || !converter) {
        return std::nullopt;
    }
    if (strict) {
        ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    }
    // Single-byte and Unicode encodings give at most one UTF-16 unit per byte; grow when a
    // converter gives more.
    QString result(bytes.size() + 16, Qt::Uninitialized);
    const char* source = bytes.constData();
    const char* sourceLimit = source + bytes.size();
    qsizetype written = 0;
    for (;;) {
        UChar* start = reinterpret_cast<UChar*>(result.data());
        UChar* target = start + written;
        ucnv_toUnicode(converter.get(), &target, start + result.size(), &source, sourceLimit, nullptr, true, &status);
        written = target - start;
        if (status != U_BUFFER_OVERFLOW_ERROR) {
            break;
        }
        status = U_ZERO_ERROR;
        result.resize(result.size() * 2);
    }
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    result.truncate(written);
    if (result.startsWith(QChar(0xFEFF))) {
        const bool unicode = name[0] == 'U' && name[1] == 'T' && name[2] == 'F';
        if (unicode) {
            result.remove(0, 1);
        }
    }
    return result;
}

} // namespace

const char* ZRTextEncoding::converterName(Id encoding)
{
    switch (encoding) {
    case ASCII:
        return "US-ASCII";
    case JapaneseEUC:
        return "EUC-JP";
    case UTF8:
        return "UTF-8";
    case ISOLatin1:
        return "ISO-8859-1";
    case ShiftJIS:
        return "Shift_JIS";
    case ISOLatin2:
        return "ISO-8859-2";
    case UTF16:
        return "UTF-16";
    case WindowsCP1251:
        return "windows-1251";
    case WindowsCP1252:
        return "windows-1252";
    case WindowsCP1253:
        return "windows-1253";
    case WindowsCP1254:
        return "windows-1254";
    case WindowsCP1250:
        return "windows-1250";
    case ISO2022JP:
        return "ISO-2022-JP";
    case MacOSRoman:
        return "macintosh";
    case UTF32:
        return "UTF-32";
    case UTF16BigEndian:
        return "UTF-16BE";
    case UTF16LittleEndian:
        return "UTF-16LE";
    case UTF32BigEndian:
        return "UTF-32BE";
    case UTF32LittleEndian:
        return "UTF-32LE";
    default:
        return nullptr;
    }
}

std::optional<QString> ZRTextEncoding::decodeStrictly(const QByteArray& bytes, Id encoding)
{
    const char* name = converterName(encoding);
    if (!name) {
        return std::nullopt;
    }
    return convert(bytes, name, true);
}

QString ZRTextEncoding::decode(const QByteArray& bytes, Id encoding)
{
    const char* name = encoding == ASCII ? nullptr : converterName(encoding);
    std::optional<QString> text = convert(bytes, name ? name : "UTF-8", false);
    return text ? *text : QString::fromUtf8(bytes);
}

ZRTextEncoding::Id ZRTextEncoding::encodingFromAlias(const QString& charset)
{
    struct Alias
    {
        const char* contained;
        Id encoding;
    };
    static constexpr Alias aliases[] = {
        {"UTF-8", UTF8},
        {"windows-1252", WindowsCP1252},
        {"ISO-8859-1", ISOLatin1},
        {"ISO-8859-2", ISOLatin2},
        {"windows-1251", WindowsCP1251},
        {"windows-1253", WindowsCP1253},
        {"windows-1254", WindowsCP1254},
        {"windows-1250", WindowsCP1250},
        {"ISO-2022", ISO2022JP},
        {"macintosh", MacOSRoman},
        {"ascii", ASCII},
        {"Shift_JIS", ShiftJIS},
        {"EUC-JP", JapaneseEUC},
    };
    for (const Alias& alias : aliases) {
        if (charset.contains(QLatin1String(alias.contained), Qt::CaseInsensitive)) {
            return alias.encoding;
        }
    }
    return UTF8;
}
