#include "RtfControlWords.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace {

struct CharacterWord
{
    std::string_view word;
    char16_t character;
};

// Control words that stand for a character of plain text.
constexpr CharacterWord CharacterWords[] = {
    {"bullet", 0x2022},  {"cell", '\t'},        {"emdash", 0x2014},  {"emspace", 0x2003}, {"endash", 0x2013},
    {"enspace", 0x2002}, {"ldblquote", 0x201C}, {"line", '\n'},      {"lquote", 0x2018},  {"ltrmark", 0x200E},
    {"nestcell", '\t'},  {"page", '\n'},        {"par", '\n'},       {"qmspace", 0x2005}, {"rdblquote", 0x201D},
    {"row", '\n'},       {"rquote", 0x2019},    {"rtlmark", 0x200F}, {"sect", '\n'},      {"tab", '\t'},
    {"zwj", 0x200D},
};

// Destinations whose content is no part of the visible text. Groups marked with "\*" are skipped
// as well, whatever their word.
constexpr std::string_view SkippedDestinations[] = {
    "NeXTGraphic", "annotation", "atnauthor",    "atnid",
    "atnref",      "atrfend",    "atrfstart",    "author",
    "bkmkend",     "bkmkstart",  "buptim",       "colorschememapping",
    "colortbl",    "comment",    "creatim",      "datafield",
    "datastore",   "docvar",     "doccomm",      "expandedcolortbl",
    "filetbl",     "fldinst",    "footer",       "footerf",
    "footerl",     "footerr",    "footnote",     "generator",
    "header",      "headerf",    "headerl",      "headerr",
    "info",        "keywords",   "latentstyles", "listoverridetable",
    "listtable",   "mmathPr",    "objclass",     "objdata",
    "objname",     "operator",   "passwordhash", "pgdsctbl",
    "pict",        "pntxta",     "pntxtb",       "printim",
    "revtbl",      "revtim",     "rsidtbl",      "sn",
    "sp",          "stylesheet", "subject",      "sv",
    "tc",          "template",   "themedata",    "title",
    "userprops",   "xe",
};

} // namespace

namespace RtfControlWords {

Meaning meaningOf(QByteArrayView word)
{
    const std::string_view name(word.data(), size_t(word.size()));
    if (name == "fonttbl") {
        return {Role::FontTable, 0};
    }
    const auto character = std::find_if(std::begin(CharacterWords), std::end(CharacterWords),
                                        [&](const CharacterWord& entry) { return entry.word == name; });
    if (character != std::end(CharacterWords)) {
        return {Role::Character, character->character};
    }
    if (std::find(std::begin(SkippedDestinations), std::end(SkippedDestinations), name)
        != std::end(SkippedDestinations)) {
        return {Role::SkippedDestination, 0};
    }
    return {};
}

int codePageForCharset(int charset)
{
    switch (charset) {
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0;
    }
}

} // namespace RtfControlWords
