#pragma once

#include "ZRCryptoKitGlobal.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// Base32 (RFC 4648 alphabet "A-Z2-7", "=" padding) over caller-supplied buffers. Encoded text comes
// in blocks of 8 characters, each block carrying 5 input bytes; the last block is completed with
// "=". None of these functions allocates, and none writes past the output size it is given.
extern "C" {

// Number of base32 characters before padding for n input bytes: floor(8n/5), plus 1 when n is not
// a multiple of 5. Answers -1 when that number does not fit the result type.
ZRCRYPTOKIT_EXPORT int32_t base32_encoder_last_quintent(size_t n);

// Number of "=" characters that complete the last block: 0, 6, 4, 3 or 1 for n mod 5 = 0 to 4.
ZRCRYPTOKIT_EXPORT size_t base32_encoder_output_padding_size(size_t n);

// Full encoded length for n input bytes (always a multiple of 8); 0 when it would not fit a size_t.
ZRCRYPTOKIT_EXPORT size_t base32_encoder_buffer_size(size_t n);

// Encodes inputCount bytes into output. The characters are followed by "=" up to outputSize; the
// output is not terminated. Give base32_encoder_buffer_size(inputCount) as outputSize to get the
// whole padded text. A smaller output receives only the characters that fit.
ZRCRYPTOKIT_EXPORT void base32_encode(unsigned char* output, size_t outputSize, const unsigned char* input,
                                      size_t inputCount);

// An output size that is enough for decoding m encoded characters: 0 when m is 0 or not a multiple
// of 8, else floor(8m/5) (saturated at SIZE_MAX), more than the floor(5m/8) bytes decoding yields.
ZRCRYPTOKIT_EXPORT size_t base32_decoder_buffer_size(size_t m);

// Decodes inputLength characters (a multiple of 8; lower case is accepted) into output and answers
// the number of bytes written. Decoding ends at the first "=" that stands where padding may stand
// in a block (positions 2, 4, 5 or 7). Characters outside the alphabet count as zero bits. Writing
// stops when the output is full.
ZRCRYPTOKIT_EXPORT size_t base32_decode(unsigned char* output, size_t outputSize, const unsigned char* input,
                                        size_t inputLength);

} // extern "C"

// The padded base32 text of bytes; the empty text for empty bytes or when the working buffer cannot
// be allocated.
ZRCRYPTOKIT_EXPORT QString ZR_encodeBase32(const QByteArray& receiver);
