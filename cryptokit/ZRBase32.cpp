#include "ZRBase32.h"

#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>

namespace {

constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";
constexpr unsigned char Padding = '=';
constexpr size_t BlockBytes = 5;
constexpr size_t BlockCharacters = 8;
constexpr uint8_t NotInAlphabet = 255;

constexpr std::array<uint8_t, 256> makeDecodeTable()
{
    std::array<uint8_t, 256> table {};
    for (auto& entry : table) {
        entry = NotInAlphabet;
    }
    for (uint8_t value = 0; value < 26; ++value) {
        table['A' + value] = value;
        table['a' + value] = value;
    }
    for (uint8_t value = 0; value < 6; ++value) {
        table['2' + value] = 26 + value;
    }
    return table;
}

constexpr std::array<uint8_t, 256> DecodeTable = makeDecodeTable();

// floor(8n/5) without overflowing for any n; TooLarge when the result does not fit.
constexpr size_t TooLarge = std::numeric_limits<size_t>::max();

size_t eightFifths(size_t n)
{
    const size_t whole = n / 5;
    if (whole > (TooLarge - 7) / 8) {
        return TooLarge;
    }
    return whole * 8 + (n % 5) * 8 / 5;
}

size_t characterCount(size_t n)
{
    const size_t floorPart = eightFifths(n);
    if (floorPart == TooLarge) {
        return TooLarge;
    }
    return floorPart + (n % 5 != 0 ? 1 : 0);
}

// The 40-bit big-endian value of one block of up to 5 input bytes, missing bytes counting as zero.
uint64_t readBlock(const unsigned char* input, size_t available)
{
    uint64_t bits = 0;
    for (size_t index = 0; index < BlockBytes; ++index) {
        bits = (bits << 8) | (index < available ? input[index] : 0u);
    }
    return bits;
}

// How many bytes a block yields, from where its first padding character stands.
size_t bytesInBlock(const unsigned char* block)
{
    struct PaddingPosition
    {
        size_t position;
        size_t bytes;
    };
    constexpr PaddingPosition positions[] = {{2, 1}, {4, 2}, {5, 3}, {7, 4}};
    for (const auto& entry : positions) {
        if (block[entry.position] == Padding) {
            return entry.bytes;
        }
    }
    return BlockBytes;
}

uint64_t blockValue(const unsigned char* block)
{
    uint64_t bits = 0;
    for (size_t index = 0; index < BlockCharacters; ++index) {
        const uint8_t value = DecodeTable[block[index]];
        bits = (bits << 5) | (value == NotInAlphabet ? 0u : value);
    }
    return bits;
}

} // namespace

extern "C" {

int32_t base32_encoder_last_quintent(size_t n)
{
    const size_t count = characterCount(n);
    if (count > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
        return -1;
    }
    return static_cast<int32_t>(count);
}

size_t base32_encoder_output_padding_size(size_t n)
{
    const size_t remainder = n % 5;
    return remainder == 0 ? 0 : 8 * (5 - remainder) / 5;
}

size_t base32_encoder_buffer_size(size_t n)
{
    const size_t blocks = n / BlockBytes + (n % BlockBytes != 0 ? 1 : 0);
    if (blocks > TooLarge / BlockCharacters) {
        return 0;
    }
    return blocks * BlockCharacters;
}

void base32_encode(unsigned char* output, size_t outputSize, const unsigned char* input, size_t inputCount)
{
    if (output == nullptr || outputSize == 0) {
        return;
    }
    const size_t characters = characterCount(inputCount);
    const size_t limit = characters < outputSize ? characters : outputSize;
    size_t written = 0;
    for (size_t start = 0; written < limit; start += BlockBytes) {
        const uint64_t bits = readBlock(input + start, inputCount - start);
        for (size_t position = 0; position < BlockCharacters && written < limit; ++position) {
            const unsigned shift = static_cast<unsigned>(5 * (BlockCharacters - 1 - position));
            output[written++] = static_cast<unsigned char>(Alphabet[(bits >> shift) & 0x1f]);
        }
    }
    for (; written < outputSize; ++written) {
        output[written] = Padding;
    }
}

size_t base32_decoder_buffer_size(size_t m)
{
    if (m == 0 || m % BlockCharacters != 0) {
        return 0;
    }
    return eightFifths(m);
}

size_t base32_decode(unsigned char* output, size_t outputSize, const unsigned char* input, size_t inputLength)
{
    if (output == nullptr || input == nullptr || inputLength == 0 || outputSize == 0
        || inputLength % BlockCharacters != 0) {
        return 0;
    }
    size_t written = 0;
    for (size_t start = 0; start < inputLength && written < outputSize; start += BlockCharacters) {
        const unsigned char* block = input + start;
        const size_t bytes = bytesInBlock(block);
        const uint64_t bits = blockValue(block);
        for (size_t index = 0; index < bytes && written < outputSize; ++index) {
            const unsigned shift = static_cast<unsigned>(8 * (BlockBytes - 1 - index));
            output[written++] = static_cast<unsigned char>((bits >> shift) & 0xff);
        }
        if (bytes < BlockBytes) {
            break;
        }
    }
    return written;
}

} // extern "C"

QString ZR_encodeBase32(const QByteArray& receiver)
{
    const size_t inputCount = static_cast<size_t>(receiver.size());
    const size_t size = base32_encoder_buffer_size(inputCount);
    if (size == 0 || size > static_cast<size_t>(std::numeric_limits<qsizetype>::max())) {
        return {};
    }
    const std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[size]);
    if (!buffer) {
        return {};
    }
    base32_encode(buffer.get(), size, reinterpret_cast<const unsigned char*>(receiver.constData()), inputCount);
    return QString::fromLatin1(reinterpret_cast<const char*>(buffer.get()), static_cast<qsizetype>(size));
}
