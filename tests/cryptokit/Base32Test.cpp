#include "ZRBase32.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> bytesOf(const std::string& text)
{
    return {text.begin(), text.end()};
}

std::string encode(const std::string& plain)
{
    const auto input = bytesOf(plain);
    std::string output(base32_encoder_buffer_size(input.size()), '?');
    base32_encode(reinterpret_cast<unsigned char*>(output.data()), output.size(), input.data(), input.size());
    return output;
}

std::string decode(const std::string& encoded)
{
    std::vector<unsigned char> output(base32_decoder_buffer_size(encoded.size()));
    const size_t count = base32_decode(output.data(), output.size(),
                                       reinterpret_cast<const unsigned char*>(encoded.data()), encoded.size());
    return {output.begin(), output.begin() + static_cast<std::ptrdiff_t>(count)};
}

struct Vector
{
    const char* plain;
    const char* encoded;
};

// RFC 4648, section 10.
const Vector Rfc4648Vectors[] = {
    {"", ""},
    {"f", "MY======"},
    {"fo", "MZXQ===="},
    {"foo", "MZXW6==="},
    {"foob", "MZXW6YQ="},
    {"fooba", "MZXW6YTB"},
    {"foobar", "MZXW6YTBOI======"},
};

} // namespace

TEST(Base32, EncodesAndDecodesTheRfcVectors)
{
    for (const Vector& vector : Rfc4648Vectors) {
        SCOPED_TRACE(vector.plain);
        EXPECT_EQ(encode(vector.plain), vector.encoded);
        EXPECT_EQ(decode(vector.encoded), vector.plain);
        EXPECT_EQ(decode(QByteArray(vector.encoded).toLower().toStdString()), vector.plain);
        EXPECT_EQ(ZR_encodeBase32(QByteArray(vector.plain)), QString::fromLatin1(vector.encoded));
    }
}

TEST(Base32, RoundTripsEveryByteValueAtEveryLength)
{
    std::string all;
    for (int value = 0; value < 256; ++value) {
        all.push_back(static_cast<char>(value));
    }
    for (size_t length = 0; length <= 42; ++length) {
        const std::string plain = all.substr(length * 5 % 200, length);
        EXPECT_EQ(decode(encode(plain)), plain) << "length " << length;
    }
    EXPECT_EQ(decode(encode(all)), all);
}

TEST(Base32, BufferSizes)
{
    struct Row
    {
        size_t bytes;
        int32_t characters;
        size_t padding;
        size_t total;
    };
    const Row rows[] = {{0, 0, 0, 0},   {1, 2, 6, 8},   {2, 4, 4, 8},   {3, 5, 3, 8},    {4, 7, 1, 8},   {5, 8, 0, 8},
                        {6, 10, 6, 16}, {7, 12, 4, 16}, {9, 15, 1, 16}, {10, 16, 0, 16}, {11, 18, 6, 24}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.bytes);
        EXPECT_EQ(base32_encoder_last_quintent(row.bytes), row.characters);
        EXPECT_EQ(base32_encoder_output_padding_size(row.bytes), row.padding);
        EXPECT_EQ(base32_encoder_buffer_size(row.bytes), row.total);
    }
    const std::pair<size_t, size_t> decoderRows[] = {{0, 0}, {7, 0}, {12, 0}, {8, 12}, {16, 25}, {40, 64}};
    for (const auto& [length, size] : decoderRows) {
        EXPECT_EQ(base32_decoder_buffer_size(length), size) << "length " << length;
    }
    // Sizes that do not fit are reported, not wrapped around.
    constexpr size_t huge = std::numeric_limits<size_t>::max();
    EXPECT_EQ(base32_encoder_last_quintent(size_t(std::numeric_limits<int32_t>::max())), -1);
    EXPECT_EQ(base32_encoder_buffer_size(huge), 0u);
    EXPECT_EQ(base32_encoder_buffer_size(huge / 8 * 5), huge / 8 * 8);
    EXPECT_EQ(base32_decoder_buffer_size(huge - 7), huge);
}

TEST(Base32, PaddingPositionTellsHowManyBytesTheLastBlockHolds)
{
    const std::pair<const char*, size_t> rows[] = {
        {"MY======", 1},
        {"MZXQ====", 2},
        {"MZXW6===", 3},
        {"MZXW6YQ=", 4},
        {"MZXW6YTB", 5},
        // Decoding ends with the first padded block.
        {"MY======MZXW6YTB", 1},
        // "=" where padding cannot stand does not end the block.
        {"MZX=6YQ=", 4},
    };
    for (const auto& [encoded, bytes] : rows) {
        EXPECT_EQ(decode(encoded).size(), bytes) << encoded;
    }
}

// Output sizes smaller than needed are honoured to the byte; larger ones are filled with "=".
TEST(Base32, NeverWritesPastTheOutputSize)
{
    const auto input = bytesOf("foobar");
    for (size_t size : {size_t(0), size_t(3), size_t(10), size_t(16), size_t(20)}) {
        std::string output(24, '#');
        base32_encode(reinterpret_cast<unsigned char*>(output.data()), size, input.data(), input.size());
        EXPECT_EQ(output, std::string("MZXW6YTBOI==========").substr(0, size) + std::string(24 - size, '#'));
    }
    const std::pair<std::string, std::string> decodings[] = {
        {"MZXW6YTBOI======", "f"},      {"MZXW6YTBOI======", "foob"},       {"MZXW6YTBOI======", "fooba"},
        {"MZXW6YTBOI======", "foobar"}, {"!@#$%^&*18901ABC", "0123456789"}, // outside the alphabet: any bytes, but no
                                                                            // more
    };
    for (const auto& [encoded, expected] : decodings) {
        std::string output(16, '#');
        const size_t count = base32_decode(reinterpret_cast<unsigned char*>(output.data()), expected.size(),
                                           reinterpret_cast<const unsigned char*>(encoded.data()), encoded.size());
        EXPECT_EQ(count, expected.size());
        EXPECT_EQ(output.substr(expected.size()), std::string(16 - expected.size(), '#'));
        if (encoded[0] == 'M') {
            EXPECT_EQ(output.substr(0, count), expected);
        }
    }
    unsigned char output[16] = {};
    const auto* text = reinterpret_cast<const unsigned char*>("MZXW6YTBOI======");
    EXPECT_EQ(base32_decode(output, sizeof output, text, 12), 0u); // not whole blocks
    EXPECT_EQ(base32_decode(output, 0, text, 16), 0u);
}
