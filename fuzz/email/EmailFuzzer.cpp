// Feeds arbitrary bytes to the e-mail model and the serial scanner: parsing, part splitting, content
// selection, decoding and scanning must neither crash nor hang.
#include "base/Log.h"
#include "email/ZREmail.h"
#include "email/ZRSerialScanner.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Log::setEchoToStandardError(false);
    Log::setLogFilePath(QString());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<ZREmail> email = ZREmail::emailFromString(QString::fromLatin1(bytes));
    if (!email) {
        return 0;
    }
    email->subject();
    email->to();
    email->dateReceived();
    email->contentBoundary();
    email->hasHTMLContent();
    email->htmlContent();
    const QString text = email->textContent().value_or(QString());
    ZRSerialScanner::scan(text, {std::chrono::milliseconds(50), std::chrono::milliseconds(200)});
    return 0;
}
