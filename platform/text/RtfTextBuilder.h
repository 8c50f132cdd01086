#pragma once

#include "RtfTokenizer.h"
#include "TextDecoder.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <vector>

// Interprets the tokens of one rich-text document and collects its plain text (see RtfReader).
class RtfTextBuilder
{
public:
    enum class Outcome { Complete, Truncated, TooDeep };

    RtfTextBuilder(QByteArrayView document, int maximumDepth);

    Outcome run();

    // The text collected so far, with unpaired surrogates replaced by U+FFFD.
    QString text();

private:
    enum class Destination { Text, Skipped, FontTable };

    struct Group
    {
        Destination destination = Destination::Text;
        int fallbackLength = 1; // "\ucN": characters that follow a "\uN" as its fallback
        int codePage = 0; // of the current font; 0 for the document's
    };

    // Consumes what belongs to the fallback of the last "\uN"; answers false when the token is
    // used up by it.
    bool consumeFallback(RtfToken& token);
    bool enterGroup();
    bool leaveGroup();
    void controlWord(const RtfToken& token);
    void fontTableWord(const RtfToken& token);
    void controlSymbol(char symbol);
    void appendBytes(const QByteArray& bytes);
    void appendCharacter(char16_t character);
    void flushBytes();
    bool inText() const { return m_groups.back().destination == Destination::Text; }
    const TextDecoder& decoderFor(int codePage);

    RtfTokenizer m_tokenizer;
    int m_maximumDepth;
    std::vector<Group> m_groups;
    QString m_text;
    QByteArray m_pendingBytes;
    int m_pendingCodePage = 0;
    int m_documentCodePage = 1252;
    int m_fontBeingDefined = -1;
    int m_fallbackToSkip = 0;
    std::map<int, int> m_fontCodePages;
    std::map<int, TextDecoder> m_decoders;
};
