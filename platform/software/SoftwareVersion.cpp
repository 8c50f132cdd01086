#include "SoftwareVersion.h"

namespace {

struct VersionParts
{
    qulonglong epoch = 0;
    QString upstream;
    QString revision;
};

// An epoch is the digits before the first colon; a revision is what follows the last hyphen.
VersionParts split(const QString& version)
{
    VersionParts parts;
    QString rest = version.trimmed();
    const qsizetype colon = rest.indexOf(QLatin1Char(':'));
    if (colon > 0) {
        bool ok = false;
        const qulonglong epoch = rest.left(colon).toULongLong(&ok);
        if (ok) {
            parts.epoch = epoch;
            rest = rest.mid(colon + 1);
        }
    }
    const qsizetype hyphen = rest.lastIndexOf(QLatin1Char('-'));
    if (hyphen > 0) {
        parts.revision = rest.mid(hyphen + 1);
        rest.truncate(hyphen);
    }
    parts.upstream = rest;
    return parts;
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The weight of one non-digit character: "~" lowest, then the end of the part and digits, then
// letters, then everything else.
int weight(const QString& text, qsizetype at)
{
    if (at >= text.size()) {
        return 0;
    }
    const QChar c = text.at(at);
    if (isDigit(c)) {
        return 0;
    }
    if (c == QLatin1Char('~')) {
        return -1;
    }
    if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))) {
        return c.unicode();
    }
    return c.unicode() + 0x10000;
}

int comparePart(const QString& a, const QString& b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() || j < b.size()) {
        while ((i < a.size() && !isDigit(a.at(i))) || (j < b.size() && !isDigit(b.at(j)))) {
            const int difference = weight(a, i) - weight(b, j);
            if (difference != 0) {
                return difference;
            }
            ++i;
            ++j;
        }
        while (i < a.size() && a.at(i) == QLatin1Char('0')) {
            ++i;
        }
        while (j < b.size() && b.at(j) == QLatin1Char('0')) {
            ++j;
        }
        int firstDifference = 0;
        while (i < a.size() && isDigit(a.at(i)) && j < b.size() && isDigit(b.at(j))) {
            if (firstDifference == 0) {
                firstDifference = a.at(i).unicode() - b.at(j).unicode();
            }
            ++i;
            ++j;
        }
        if (i < a.size() && isDigit(a.at(i))) {
            return 1;
        }
        if (j < b.size() && isDigit(b.at(j))) {
            return -1;
        }
        if (firstDifference != 0) {
            return firstDifference;
        }
    }
    return 0;
}

} // namespace

namespace SoftwareVersion {

int compare(const QString& a, const QString& b)
{
    const VersionParts left = split(a);
    const VersionParts right = split(b);
    if (left.epoch != right.epoch) {
        return left.epoch < right.epoch ? -1 : 1;
    }
    if (const int upstreamOrder = comparePart(left.upstream, right.upstream); upstreamOrder != 0) {
        return upstreamOrder;
    }
    return comparePart(left.revision, right.revision);
}

QString upstream(const QString& version)
{
    return split(version).upstream;
}

} // namespace SoftwareVersion
