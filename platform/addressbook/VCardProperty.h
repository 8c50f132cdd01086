#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>

// One content line of a vCard, "[group.]NAME;PARAM=VALUE;...:value", in the forms of versions
// 2.1, 3.0 and 4.0. Version 2.1 parameters without a name ("HOME", "QUOTED-PRINTABLE") are read
// as the TYPE or ENCODING they stand for.
class VCardProperty
{
public:
    enum class Version { V21, V30, V40 };

    // std::nullopt for a line without a name or without a colon.
    static std::optional<VCardProperty> parse(const QByteArray& line);

    // Whether the part before the value names the quoted-printable encoding (also before parsing,
    // to join the lines of a soft line break).
    static bool isQuotedPrintableLine(const QByteArray& line);

    QByteArray name() const { return m_name; } // upper case, without the group

    // The values of a parameter (upper-case name), split at commas, in lower case.
    QStringList parameterValues(const QByteArray& parameter) const;

    // The value decoded (quoted-printable, character set) and unescaped.
    QString text(Version version) const;

    // The components of a structured value (such as N or ORG), each decoded and unescaped.
    QStringList components(Version version) const;

private:
    QString decodedValue() const;

    QByteArray m_name;
    QList<QPair<QByteArray, QString>> m_parameters;
    QByteArray m_value;
};
