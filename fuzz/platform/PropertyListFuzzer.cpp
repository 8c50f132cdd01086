// Reads fuzzed bytes as a property list: as they are, behind the binary header and inside an XML
// wrapper. Every input must give a value or an error text, never a crash, a hang or a runaway
// allocation; a value that was read must write as a binary list that reads back.
#include "plist/PropertyList.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(const QByteArray& data)
{
    QString error;
    const std::optional<QVariant> value = PropertyList::fromData(data, &error);
    if (!value) {
        if (error.isEmpty()) {
            std::abort();
        }
        return;
    }
    const QByteArray written = PropertyList::toData(*value, PropertyList::Format::Binary);
    if (!written.isEmpty() && !PropertyList::fromData(written, &error)) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    check(bytes);
    check("bplist00" + bytes);
    check("<plist>" + bytes + "</plist>");
    return 0;
}
