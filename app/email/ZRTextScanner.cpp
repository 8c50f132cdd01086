#include "ZRTextScanner.h"

#include <utility>

ZRTextScanner::ZRTextScanner(QString text)
    : m_text(std::move(text))
{ }

bool ZRTextScanner::isSkipped(QChar character)
{
    // Unicode white space (space separators, tab, line feed, vertical tab, form feed, carriage
    // return, next line, line and paragraph separators).
    return character.isSpace();
}

qsizetype ZRTextScanner::skipped() const
{
    qsizetype position = m_location;
    while (position < m_text.size() && isSkipped(m_text.at(position))) {
        ++position;
    }
    return position;
}

bool ZRTextScanner::scanUpToString(QStringView stop, QString* into)
{
    const qsizetype start = skipped();
    qsizetype end = stop.isEmpty() ? -1 : m_text.indexOf(stop, start);
    if (end < 0) {
        end = m_text.size();
    }
    if (end == start) {
        return false;
    }
    if (into) {
        *into = m_text.mid(start, end - start);
    }
    m_location = end;
    return true;
}

bool ZRTextScanner::scanString(QStringView string)
{
    const qsizetype start = skipped();
    if (string.isEmpty() || !QStringView(m_text).mid(start).startsWith(string)) {
        return false;
    }
    m_location = start + string.size();
    return true;
}

bool ZRTextScanner::scanUpToCharactersFromSet(QStringView characters, QString* into)
{
    const qsizetype start = skipped();
    qsizetype end = start;
    while (end < m_text.size() && !characters.contains(m_text.at(end))) {
        ++end;
    }
    if (end == start) {
        return false;
    }
    if (into) {
        *into = m_text.mid(start, end - start);
    }
    m_location = end;
    return true;
}

bool ZRTextScanner::scanCharactersFromSet(QStringView characters)
{
    const qsizetype start = skipped();
    qsizetype end = start;
    while (end < m_text.size() && characters.contains(m_text.at(end))) {
        ++end;
    }
    if (end == start) {
        return false;
    }
    m_location = end;
    return true;
}

void ZRTextScanner::setLocation(qsizetype location)
{
    m_location = qBound(qsizetype(0), location, m_text.size());
}

bool ZRTextScanner::isAtEnd() const
{
    return skipped() >= m_text.size();
}
