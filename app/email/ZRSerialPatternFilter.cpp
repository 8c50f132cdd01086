#include "ZRSerialPatternFilter.h"

#include "ZRSerialPatternTable.h"

#include <algorithm>
#include <unicode/uchar.h>
#include <unicode/ustring.h>

namespace {

constexpr size_t tripleHash(char16_t a, char16_t b, char16_t c)
{
    return (size_t(a) * 961 + size_t(b) * 31 + size_t(c)) & 0xFFFF;
}

} // namespace

ZRSerialPatternFilter::ZRSerialPatternFilter(const QString& text)
    : m_folded(folded(text))
{
    if (!m_folded) {
        return;
    }
    const char16_t* characters = reinterpret_cast<const char16_t*>(m_folded->utf16());
    for (qsizetype i = 2; i < m_folded->size(); ++i) {
        m_triples.set(tripleHash(characters[i - 2], characters[i - 1], characters[i]));
    }
}

bool ZRSerialPatternFilter::mayMatch(int entry) const
{
    const QList<ZRSerialPatternTable::Requirement>& requirements = ZRSerialPatternTable::requirements();
    if (!m_folded || entry < 0 || entry >= requirements.size()) {
        return true;
    }
    const ZRSerialPatternTable::Requirement& requirement = requirements.at(entry);
    return std::all_of(requirement.begin(), requirement.end(), [this](const QStringList& alternatives) {
        return std::any_of(alternatives.begin(), alternatives.end(),
                           [this](const QString& required) { return contains(required); });
    });
}

bool ZRSerialPatternFilter::contains(const QString& required) const
{
    const auto known = m_contains.constFind(required);
    if (known != m_contains.cend()) {
        return *known;
    }
    const bool found = mayContain(required) && m_folded->contains(required);
    m_contains.insert(required, found);
    return found;
}

bool ZRSerialPatternFilter::mayContain(const QString& required) const
{
    const char16_t* characters = reinterpret_cast<const char16_t*>(required.utf16());
    for (qsizetype i = 2; i < required.size(); ++i) {
        if (!m_triples.test(tripleHash(characters[i - 2], characters[i - 1], characters[i]))) {
            return false;
        }
    }
    return true;
}

std::optional<QString> ZRSerialPatternFilter::folded(const QString& text)
{
    // Folding can lengthen a text (one character may fold to three); ICU answers the length it needs.
    QString result(text.size() + text.size() / 8 + 16, Qt::Uninitialized);
    for (int attempt = 0; attempt < 2; ++attempt) {
        UErrorCode status = U_ZERO_ERROR;
        const int32_t length = u_strFoldCase(reinterpret_cast<UChar*>(result.data()), int32_t(result.size()),
                                             reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()),
                                             U_FOLD_CASE_DEFAULT, &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            result.resize(length);
            continue;
        }
        if (U_FAILURE(status)) {
            break;
        }
        result.resize(length);
        return result;
    }
    return std::nullopt;
}
