#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

// The preferences of a Mozilla mail profile, from its "prefs.js": a list of statements
// `user_pref("name", value);` whose values are strings, integers or booleans, with JavaScript
// comments between them.
class MozillaPrefs
{
public:
    // Nothing, with `problem` telling where, when any statement is not of that form: a half
    // written or foreign file is not trusted at all.
    static std::optional<MozillaPrefs> parse(const QString& text, QString* problem);

    QString string(const QString& name) const { return m_values.value(name).toString(); }
    bool contains(const QString& name) const { return m_values.contains(name); }
    // The names in the order the file sets them (a name set twice counts where it came first).
    const QStringList& names() const { return m_names; }

private:
    QHash<QString, QVariant> m_values;
    QStringList m_names;
};
