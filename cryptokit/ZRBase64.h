#pragma once

#include "ZRCryptoKitGlobal.h"

#include <QByteArray>
#include <QString>

// Base64 (RFC 4648 standard alphabet, "=" padding) through OpenSSL's base64 filter.

// Longest text, in UTF-8 bytes, that the decoders accept; longer texts decode to empty bytes.
inline constexpr qsizetype ZRBase64MaximumTextSize = qsizetype(1) << 30;

// With line breaks the text is cut into lines of 64 characters, each ending in a line feed (the
// last one included); without, it is one line with no line feed. Empty bytes give the empty text.
ZRCRYPTOKIT_EXPORT QString ZR_encodeBase64WithNewlines(const QByteArray& receiver, bool newlines);

// Same as ZR_encodeBase64WithNewlines with line breaks.
ZRCRYPTOKIT_EXPORT QString ZR_encodeBase64(const QByteArray& receiver);

// The bytes of a base64 text; never null, possibly empty. Line breaks and other ASCII white space
// anywhere in the text are skipped whatever the flag says, so a text decodes the same with or
// without line feeds. Decoding stops at invalid input; what was decoded before it is the result.
ZRCRYPTOKIT_EXPORT QByteArray ZR_decodeBase64WithNewlines(const QString& receiver, bool newlines);

// Same as ZR_decodeBase64WithNewlines with line breaks.
ZRCRYPTOKIT_EXPORT QByteArray ZR_decodeBase64(const QString& receiver);
