#include "ZRArrayTools.h"

#include <QSet>

#include <algorithm>

namespace {

// Below this many comparisons a plain scan beats building a hash set.
constexpr qsizetype HashThreshold = 64;

} // namespace

QVariant ZR_firstObject(const QVariantList& receiver)
{
    return receiver.isEmpty() ? QVariant() : receiver.front();
}

QString ZR_firstObject(const QStringList& receiver)
{
    return receiver.isEmpty() ? QString() : receiver.front();
}

bool ZR_containsAtLeastOneObjectInArray(const QVariantList& receiver, const QVariantList& other)
{
    // QVariant has no hash, so this stays a scan.
    return std::any_of(other.cbegin(), other.cend(),
                       [&receiver](const QVariant& element) { return receiver.contains(element); });
}

bool ZR_containsAtLeastOneObjectInArray(const QStringList& receiver, const QStringList& other)
{
    if (receiver.size() * other.size() < HashThreshold) {
        return std::any_of(other.cbegin(), other.cend(),
                           [&receiver](const QString& element) { return receiver.contains(element); });
    }
    const QSet<QString> members(receiver.cbegin(), receiver.cend());
    return std::any_of(other.cbegin(), other.cend(),
                       [&members](const QString& element) { return members.contains(element); });
}
