#pragma once

#include <QHash>
#include <QString>

#include <bitset>
#include <optional>

// Tells, from the texts each entry of the serial pattern table requires, which entries cannot
// match a text, so the scanner skips their (much slower) searches. The text is compared after full
// case folding, the same folding the case-insensitive patterns compare with, so a text an entry
// matches always passes its entry's check.
class ZRSerialPatternFilter
{
public:
    explicit ZRSerialPatternFilter(const QString& text);

    // Whether the 0-based table entry may match the text.
    bool mayMatch(int entry) const;

    // The text with every character replaced by its full case folding ("ß" becomes "ss"); nothing
    // when ICU cannot fold it.
    static std::optional<QString> folded(const QString& text);

private:
    bool contains(const QString& required) const;
    bool mayContain(const QString& required) const;

    std::optional<QString> m_folded; // without it, every entry may match
    // The hashes of every three characters in a row of the folded text: a required text with a
    // three characters whose hash is missing cannot be in it, and needs no search.
    std::bitset<65536> m_triples;
    mutable QHash<QString, bool> m_contains;
};
