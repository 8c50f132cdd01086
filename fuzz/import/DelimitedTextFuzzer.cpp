// Feeds arbitrary text to the delimited-text row scanner with delimiters and quote chosen by the
// first bytes (single characters, longer delimiters, the same delimiter twice, no quote): it must
// neither crash nor hang, never give an empty row, and never give an empty text as a field (an
// empty field is always "no value").
#include "import/ZRDelimitedTextParsing.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

const char* const Delimiters[] = {",", "\t", ";", ":", "\n", "\r\n", "::", "||", " "};
const char* const Quotes[] = {"", "\"", "'", "\"\""};

template<class T, std::size_t N>
const char* pick(const T (&choices)[N], uint8_t byte)
{
    return choices[byte % N];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3) {
        return 0;
    }
    const QString record = QString::fromLatin1(pick(Delimiters, data[0]));
    const QString field = QString::fromLatin1(pick(Delimiters, data[1]));
    const QString quote = QString::fromLatin1(pick(Quotes, data[2]));
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 3), qsizetype(size - 3));
    const DelimitedRows rows = scannedRowsWithRecordDelimter(text, record, field, quote);
    if (rows.isEmpty()) {
        std::abort();
    }
    for (const DelimitedRow& row : rows) {
        if (row.isEmpty()) {
            std::abort();
        }
        for (const DelimitedField& value : row) {
            if (value && value->isEmpty()) {
                std::abort();
            }
        }
    }
    return 0;
}
