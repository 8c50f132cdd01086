#pragma once

#include "ZRKitGlobal.h"

#include <QString>

#include <functional>

// Operations on text. Every result is a new value; the receiver is never changed.

// A span of UTF-16 positions in a text, as text searches report them.
struct ZRRange
{
    qsizetype location = 0;
    qsizetype length = 0;
};

// Tells whether a character (a Unicode code point) belongs to a set of characters.
using ZRCharacterSet = std::function<bool(char32_t character)>;

// Both texts lower-cased, then compared exactly. A null text on either side gives false.
ZRKIT_EXPORT bool ZR_isEqualToStringIgnoringCase(const QString& receiver, const QString& other);

// True if `other` is found in the receiver; an empty `other` is never found.
ZRKIT_EXPORT bool ZR_containsString(const QString& receiver, const QString& other, bool ignoringCase = false);

// The characters before the range's location. A location past the end gives the whole text, a
// negative one the empty text.
ZRKIT_EXPORT QString ZR_substringBeforeRange(const QString& receiver, ZRRange range);

// The characters from the range's end (location + length) to the end of the text; empty when the
// range reaches or passes the end.
ZRKIT_EXPORT QString ZR_substringAfterRange(const QString& receiver, ZRRange range);

// Every "/" replaced by "_", so the text can be used as one file name component.
ZRKIT_EXPORT QString ZR_stringMadeSafeForPath(const QString& receiver);

// "&", "<", ">", '"' and "'" replaced by their XML entities. The ampersand goes first, so an entity
// already in the text is escaped again ("&lt;" becomes "&amp;lt;"). Nothing else is touched.
ZRKIT_EXPORT QString ZR_stringSafeForXML(const QString& receiver);

// If the text holds at least one CR LF pair, every carriage return is deleted (lone ones too);
// otherwise every carriage return becomes a line feed. Line feeds are never touched.
ZRKIT_EXPORT QString ZR_stringByConvertingMicrosoftLineBreaks(const QString& receiver);

// Every line feed replaced by one space; carriage returns stay.
ZRKIT_EXPORT QString ZR_stringByTrimmingLineBreaks(const QString& receiver);

// Every character of the set replaced by `substitute`, in one pass: the inserted substitutes are
// not searched again, so a substitute holding characters of the set is safe. The receiver itself
// is returned when no character of the set occurs.
ZRKIT_EXPORT QString ZR_stringWithSubstitute(const QString& receiver, const QString& substitute,
                                             const ZRCharacterSet& characterSet);

// The same with the set given by its members (every code point of `characters`).
ZRKIT_EXPORT QString ZR_stringWithSubstitute(const QString& receiver, const QString& substitute,
                                             const QString& characters);

// Squashes a delimited text: runs of the delimiter collapse to one and delimiters at either end are
// dropped ("  a   b " with " " gives "a b"). An empty or null delimiter returns the receiver
// unchanged. A delimiter longer than one character is a caller error: it is logged and the result
// is null.
ZRKIT_EXPORT QString ZR_squashedStringByRemovingDelimiterCharacter(const QString& receiver,
                                                                   const QString& delimiterCharacter);
