// Feeds arbitrary bytes to every foreign export reader, whether it recognises them or not, with
// small limits so that the size and depth checks are reached: no reader may crash or hang, an error
// never comes with records, and every record has a title.
#include "import/ForeignFormatRegistry.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    ForeignReadLimits limits;
    limits.maximumFieldSize = 4096;
    limits.maximumAttachmentSize = 4096;
    limits.maximumDepth = 16;
    for (const auto& reader : ForeignFormatRegistry::standard().readers()) {
        reader->recognises(bytes.left(64 * 1024));
        const ForeignReadResult result = reader->read(bytes, limits);
        if (result.error && !result.records.isEmpty()) {
            std::abort();
        }
        for (const ForeignRecord& record : result.records) {
            if (record.title.isEmpty()) {
                std::abort();
            }
        }
    }
    return 0;
}
