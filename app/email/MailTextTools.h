#pragma once

#include "ZRTextEncoding.h"

#include <QString>

// Text operations on message text shared by the e-mail model and its users.

// If the text contains "\r\n", every "\r" is deleted; otherwise every "\r" becomes "\n".
QString stringWithFixedMicrosoftLineBreaks(const QString& text);

// Every "\n" replaced by one space.
QString stringByTrimmingLineBreaks(const QString& text);

// Byte-wise quoted-printable: "=XX" becomes the character with that code (the byte read as
// ISO 8859-1), "=" before a line break is a soft break (both characters dropped), "=" as the last or
// second-to-last character stays, any other "=" is dropped. Underscores are left alone.
QString decodeQuotedPrintable(const QString& text);

// Quoted-printable whose bytes are read in `encoding`: "=XX" is a byte, "=" followed by optional
// blanks and a line end (or the end of the text) is a soft break, any other "=" stays. ASCII
// characters are bytes of the encoded text; other characters (never valid in quoted-printable, but
// found in damaged messages) are kept as they are. Underscores are left alone.
QString decodeQuotedPrintable(const QString& text, ZRTextEncoding::Id encoding);

// decodeQuotedPrintable(text, UTF-8).
QString decodeUTF8QuotedPrintable(const QString& text);

// Value of a hexadecimal digit, or -1.
int hexDigitValue(QChar character);
