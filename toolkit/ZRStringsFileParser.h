#pragma once

#include <QString>
#include <QStringView>
#include <QVariantMap>

#include <optional>

// Parser of the old text form of strings tables ("key" = "value";). Used by ZRStringsFile, which
// describes the accepted syntax.
class ZRStringsFileParser
{
public:
    explicit ZRStringsFileParser(QStringView text);

    // The table, or std::nullopt with `error` naming the line of the first fault.
    std::optional<QVariantMap> parse(QString* error);

private:
    bool parseEntries(QVariantMap* table, bool inBraces);
    std::optional<QString> parseString();
    std::optional<QString> parseQuoted();
    QString parseUnquoted();
    bool parseEscape(QString* out);
    bool skipSpaceAndComments();
    bool atEnd() const { return m_position >= m_text.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_text[m_position]; }
    bool fail(const QString& message);

    QStringView m_text;
    qsizetype m_position = 0;
    QString m_error;
};
