#include "RtfTextBuilder.h"

#include "RtfControlWords.h"

#include <algorithm>

namespace {

// "\ucN" values beyond this are nonsense; no writer uses more than a few bytes of fallback.
constexpr int MaximumFallbackLength = 16;

bool isWord(const RtfToken& token, QByteArrayView word)
{
    return token.word == word;
}

} // namespace

RtfTextBuilder::RtfTextBuilder(QByteArrayView document, int maximumDepth)
    : m_tokenizer(document)
    , m_maximumDepth(maximumDepth)
{ }

RtfTextBuilder::Outcome RtfTextBuilder::run()
{
    for (;;) {
        RtfToken token = m_tokenizer.next();
        if (token.kind == RtfToken::Kind::End) {
            return Outcome::Truncated;
        }
        if (!consumeFallback(token)) {
            continue;
        }
        switch (token.kind) {
        case RtfToken::Kind::GroupStart:
            if (!enterGroup()) {
                return Outcome::TooDeep;
            }
            break;
        case RtfToken::Kind::GroupEnd:
            if (!leaveGroup()) {
                return Outcome::Complete;
            }
            break;
        case RtfToken::Kind::ControlWord:
            controlWord(token);
            break;
        case RtfToken::Kind::ControlSymbol:
            controlSymbol(token.symbol);
            break;
        case RtfToken::Kind::HexByte:
        case RtfToken::Kind::Text:
            if (!m_groups.empty() && inText()) {
                appendBytes(token.text);
            }
            break;
        case RtfToken::Kind::End:
            break;
        }
    }
}

QString RtfTextBuilder::text()
{
    flushBytes();
    QString result = m_text;
    for (qsizetype i = 0; i < result.size(); ++i) {
        const QChar c = result.at(i);
        if (c.isHighSurrogate() && i + 1 < result.size() && result.at(i + 1).isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            result[i] = QChar::ReplacementCharacter;
        }
    }
    return result;
}

bool RtfTextBuilder::consumeFallback(RtfToken& token)
{
    if (m_fallbackToSkip == 0) {
        return true;
    }
    switch (token.kind) {
    case RtfToken::Kind::GroupStart:
    case RtfToken::Kind::GroupEnd:
    case RtfToken::Kind::End:
        // The fallback never reaches past its group.
        m_fallbackToSkip = 0;
        return true;
    case RtfToken::Kind::Text: {
        const qsizetype skipped = std::min<qsizetype>(m_fallbackToSkip, token.text.size());
        m_fallbackToSkip -= int(skipped);
        token.text.remove(0, skipped);
        return !token.text.isEmpty();
    }
    case RtfToken::Kind::ControlWord:
        if (isWord(token, "bin")) {
            m_tokenizer.skipBytes(token.parameter);
        }
        --m_fallbackToSkip;
        return false;
    case RtfToken::Kind::ControlSymbol:
    case RtfToken::Kind::HexByte:
        --m_fallbackToSkip;
        return false;
    }
    return true;
}

bool RtfTextBuilder::enterGroup()
{
    if (int(m_groups.size()) >= m_maximumDepth) {
        return false;
    }
    m_groups.push_back(m_groups.empty() ? Group {} : m_groups.back());
    return true;
}

bool RtfTextBuilder::leaveGroup()
{
    if (!m_groups.empty()) {
        m_groups.pop_back();
    }
    return !m_groups.empty();
}

void RtfTextBuilder::controlWord(const RtfToken& token)
{
    if (m_groups.empty()) {
        return;
    }
    Group& group = m_groups.back();
    if (isWord(token, "bin")) {
        // Binary data belongs to pictures and objects; it is never text.
        m_tokenizer.skipBytes(token.parameter);
        return;
    }
    if (group.destination == Destination::FontTable) {
        fontTableWord(token);
        return;
    }
    if (group.destination == Destination::Skipped) {
        return;
    }
    if (isWord(token, "u") && token.hasParameter) {
        // Characters beyond the 16 bits of the parameter are written as surrogate pairs.
        appendCharacter(char16_t(token.parameter < 0 ? token.parameter + 65536 : token.parameter));
        m_fallbackToSkip = group.fallbackLength;
        return;
    }
    if (isWord(token, "uc")) {
        group.fallbackLength = std::clamp(token.parameter, 0, MaximumFallbackLength);
    } else if (isWord(token, "ansicpg") && token.parameter > 0) {
        m_documentCodePage = token.parameter;
    } else if (isWord(token, "mac")) {
        m_documentCodePage = 10000;
    } else if (isWord(token, "pc")) {
        m_documentCodePage = 437;
    } else if (isWord(token, "pca")) {
        m_documentCodePage = 850;
    } else if (isWord(token, "f") && token.hasParameter) {
        const auto font = m_fontCodePages.find(token.parameter);
        group.codePage = font == m_fontCodePages.end() ? 0 : font->second;
    } else {
        const RtfControlWords::Meaning meaning = RtfControlWords::meaningOf(token.word);
        switch (meaning.role) {
        case RtfControlWords::Role::Character:
            appendCharacter(meaning.character);
            break;
        case RtfControlWords::Role::SkippedDestination:
            group.destination = Destination::Skipped;
            break;
        case RtfControlWords::Role::FontTable:
            group.destination = Destination::FontTable;
            break;
        case RtfControlWords::Role::Other:
            break;
        }
    }
}

void RtfTextBuilder::fontTableWord(const RtfToken& token)
{
    if (isWord(token, "f") && token.hasParameter) {
        m_fontBeingDefined = token.parameter;
    } else if (isWord(token, "fcharset") && m_fontBeingDefined >= 0) {
        if (const int codePage = RtfControlWords::codePageForCharset(token.parameter)) {
            m_fontCodePages[m_fontBeingDefined] = codePage;
        }
    } else if (isWord(token, "cpg") && m_fontBeingDefined >= 0 && token.parameter > 0) {
        m_fontCodePages[m_fontBeingDefined] = token.parameter;
    }
}

void RtfTextBuilder::controlSymbol(char symbol)
{
    if (m_groups.empty()) {
        return;
    }
    if (symbol == '*') {
        m_groups.back().destination = Destination::Skipped;
        return;
    }
    if (!inText()) {
        return;
    }
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        appendBytes(QByteArray(1, symbol));
        break;
    case '\n':
        appendCharacter('\n');
        break;
    case '~':
        appendCharacter(0x00A0);
        break;
    case '_':
        appendCharacter(0x2011);
        break;
    default:
        // "\-" (optional hyphen), "\:" and "\|" (index and formula marks) stand for nothing.
        break;
    }
}

void RtfTextBuilder::appendBytes(const QByteArray& bytes)
{
    const int codePage = m_groups.back().codePage ? m_groups.back().codePage : m_documentCodePage;
    if (!m_pendingBytes.isEmpty() && codePage != m_pendingCodePage) {
        flushBytes();
    }
    m_pendingCodePage = codePage;
    m_pendingBytes.append(bytes);
}

void RtfTextBuilder::appendCharacter(char16_t character)
{
    flushBytes();
    if (character != 0) {
        m_text.append(QChar(character));
    }
}

void RtfTextBuilder::flushBytes()
{
    if (m_pendingBytes.isEmpty()) {
        return;
    }
    m_text.append(decoderFor(m_pendingCodePage).decode(m_pendingBytes));
    m_pendingBytes.clear();
}

const TextDecoder& RtfTextBuilder::decoderFor(int codePage)
{
    auto found = m_decoders.find(codePage);
    if (found == m_decoders.end()) {
        TextDecoder decoder = TextDecoder::forCodePage(codePage);
        if (!decoder.isValid()) {
            decoder = TextDecoder::forCodePage(1252);
        }
        found = m_decoders.emplace(codePage, std::move(decoder)).first;
    }
    return found->second;
}
