#pragma once

#include <QString>
#include <QStringList>

// Text work of the licence title guess: readable lines out of a message body, and a candidate
// product name cleaned of the quotes, punctuation, order numbers and licence words around it.
namespace LicenceTitleText {

// The body's lines with tags, style and script removed and the usual entities decoded when it is
// HTML; the plain text's lines otherwise. Blank lines and overlong lines are left out.
QStringList readableLines(const QString& body);

// The subject without "[Tag]" prefixes, "Re:"/"Fwd:", order and invoice numbers.
QString subjectWithoutNoise(const QString& subject);

// The name with quotes, trailing marks (™ ®), brackets, version numbers like "v2.1.4", and leading
// or trailing order and licence words removed; empty when nothing that looks like a name is left
// (no letter, too long, an address, a link, only common words) or when it contains the serial.
QString cleanedName(const QString& candidate, const QString& serial);

// Whether the word is one that a purchase mail puts around a product name ("order", "licence",
// "your", "thank", ...) and never a name by itself.
bool isNoiseWord(const QString& word);

} // namespace LicenceTitleText
