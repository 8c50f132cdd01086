// Parses fuzzed text as a written date in two locales: every input must give a valid date or
// nothing, never a crash.
#include "text/DateParser.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const DateParser american {QLocale(QStringLiteral("en_US"))};
    static const DateParser german {QLocale(QStringLiteral("de_DE"))};
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const DateParser* parser : {&american, &german}) {
        const auto date = parser->parse(text);
        if (date && !date->isValid()) {
            std::abort();
        }
    }
    return 0;
}
