// Fills a template from fuzzed text. The input is split at NUL bytes: the first part is the
// template, the following parts alternate key and value. Checks that filling ends and that a
// dictionary without keys present in the template gives the template back.
#include "ZRHTMLTemplate.h"

#include <QByteArrayList>

#include <cstdint>
#include <cstdlib>

namespace {

// Each key can at most double the text (a value holding two placeholders of a later key), so a
// few keys keep the result small.
constexpr int MaximumKeys = 8;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayList parts = QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\0');
    ZRHTMLTemplate page(QString::fromUtf8(parts.front()));
    QVariantMap values;
    for (qsizetype i = 1; i + 1 < parts.size() && values.size() < MaximumKeys; i += 2) {
        values.insert(QString::fromUtf8(parts.at(i)), QString::fromUtf8(parts.at(i + 1)));
    }
    page.setKeySearchOptions(size % 2 ? ZRHTMLTemplate::CaseInsensitiveSearch : ZRHTMLTemplate::LiteralSearch);
    (void)page.htmlForDictionary(values);

    bool anyPlaceholder = false;
    for (auto key = values.keyBegin(); key != values.keyEnd(); ++key) {
        anyPlaceholder |= page.htmlTemplate().contains(QLatin1Char('{') + *key + QLatin1Char('}'), Qt::CaseInsensitive);
    }
    if (!anyPlaceholder && page.htmlForDictionary(values) != page.htmlTemplate()) {
        std::abort();
    }
    return 0;
}
