// Reads fuzzed bytes as a vCard, directly and inside a card: every input must give a card or an
// error, never a crash.
#include "addressbook/VCardReader.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(const QByteArray& data)
{
    VCardReader reader;
    const auto card = reader.readData(data);
    if (!card && reader.errorString().isEmpty()) {
        std::abort();
    }
    if (card) {
        const qsizetype primary = card->primaryEmailIndex();
        if (primary >= card->emails.size() || (primary < 0 && !card->emails.isEmpty())) {
            std::abort();
        }
        (void)card->fullName();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    check(bytes);
    check("BEGIN:VCARD\r\nVERSION:2.1\r\n" + bytes + "\r\nEND:VCARD\r\n");
    return 0;
}
