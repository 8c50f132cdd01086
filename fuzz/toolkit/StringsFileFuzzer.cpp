// Parses fuzzed bytes as a strings table: every input must give a table or an error text, never a
// crash or a hang.
#include "ZRStringsFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QString error;
    const auto table
        = ZRStringsFile::fromData(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), &error);
    if (!table && error.isEmpty()) {
        std::abort();
    }
    return 0;
}
