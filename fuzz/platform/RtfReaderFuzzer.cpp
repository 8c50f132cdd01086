// Reads fuzzed bytes as rich text, directly and behind a rich-text header: every input must give
// text or an error, never a crash, a hang or text longer than the input could hold.
#include "text/RtfReader.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(const QByteArray& data)
{
    RtfReader reader;
    const auto text = reader.readData(data);
    if (!text && reader.errorString().isEmpty()) {
        std::abort();
    }
    // No byte of a document stands for more than two UTF-16 units of text.
    if (text && text->size() > 2 * data.size()) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    check(bytes);
    check("{\\rtf1\\ansi " + bytes);
    return 0;
}
