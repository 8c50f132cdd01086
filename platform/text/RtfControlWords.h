#pragma once

#include <QByteArrayView>

// What the rich-text reader does with a control word.
namespace RtfControlWords {

enum class Role {
    Other, // formatting or document settings: no text
    SkippedDestination, // a group whose content is not part of the text (fonts, pictures, metadata ...)
    FontTable, // the font table: no text, but fonts may name their character sets
    Character, // stands for one character of text
};

struct Meaning
{
    Role role = Role::Other;
    char16_t character = 0; // for Role::Character
};

Meaning meaningOf(QByteArrayView word);

// The code page of a font character set ("\fcharsetN"); 0 when the document's own code page
// applies.
int codePageForCharset(int charset);

} // namespace RtfControlWords
