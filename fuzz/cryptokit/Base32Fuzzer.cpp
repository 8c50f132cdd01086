// Decodes arbitrary text into buffers of several sizes, with guard bytes that must stay untouched,
// and checks that encoding the input bytes and decoding the result gives them back.
#include "ZRBase32.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr unsigned char Guard = 0xA5;
constexpr size_t GuardSize = 16;

void decodeInto(size_t outputSize, const uint8_t* data, size_t size)
{
    std::vector<unsigned char> output(outputSize + GuardSize, Guard);
    const size_t count = base32_decode(output.data(), outputSize, data, size);
    if (count > outputSize) {
        std::abort();
    }
    for (size_t index = outputSize; index < output.size(); ++index) {
        if (output[index] != Guard) {
            std::abort();
        }
    }
}

void checkRoundTrip(const uint8_t* data, size_t size)
{
    std::vector<unsigned char> encoded(base32_encoder_buffer_size(size));
    base32_encode(encoded.data(), encoded.size(), data, size);
    std::vector<unsigned char> decoded(base32_decoder_buffer_size(encoded.size()));
    const size_t count = base32_decode(decoded.data(), decoded.size(), encoded.data(), encoded.size());
    if (count != size || (size != 0 && std::memcmp(decoded.data(), data, size) != 0)) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    decodeInto(base32_decoder_buffer_size(size), data, size);
    decodeInto(size / 8 * 5, data, size);
    decodeInto(size % 7, data, size);
    checkRoundTrip(data, size);
    return 0;
}
