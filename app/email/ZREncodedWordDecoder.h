#pragma once

#include <QString>

// Decodes the encoded words ("=?charset?Q?text?=" and "=?charset?B?text?=") of a header value.
//
// Every encoded word is decoded, the encoding letter in either case. In Q words "_" stands for a
// space. The bytes are read in the encoding the charset names. White space between two adjacent
// encoded words is dropped, and adjacent words of the same charset are decoded together, so a
// character split between two words comes out whole. A word with an unknown encoding letter shows
// its encoded text. Text that only looks like the start of an encoded word stays as it is.
class ZREncodedWordDecoder
{
public:
    static QString decode(const QString& text);
};
