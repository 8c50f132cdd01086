#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

// A file in the key-file format of desktop entries and icon themes: "[Group]" headers,
// "Key=Value" and "Key[locale]=Value" lines, "#" comments and blank lines, UTF-8 text.
//
// Reading is forgiving where a line can be left out without changing the meaning of the others:
// lines with invalid UTF-8, a NUL byte, no "=", a malformed key or more than MaximumLineLength
// bytes are skipped, and so are the keys below a malformed group header. A file without the
// required group, or larger than MaximumSize, is refused with an error text.
class DesktopEntryFile
{
public:
    // Largest file read; real desktop entries are a few kilobytes, icon theme indexes a few dozen.
    static constexpr qint64 MaximumSize = 1024 * 1024;
    static constexpr qsizetype MaximumLineLength = 64 * 1024;

    // "Desktop Entry", the group every desktop entry has.
    static QString mainGroup();

    static std::optional<DesktopEntryFile> read(const QString& path, QString* error,
                                                const QString& requiredGroup = mainGroup());
    static std::optional<DesktopEntryFile> parse(const QByteArray& data, QString* error,
                                                 const QString& requiredGroup = mainGroup());

    // The groups in the order of the file.
    QStringList groups() const;
    bool hasKey(const QString& key, const QString& group = mainGroup()) const;

    // The value as written after "=" (escapes still in place); nullopt when the key is missing.
    // The key may carry a locale: "Name[de]".
    std::optional<QString> rawValue(const QString& key, const QString& group = mainGroup()) const;
    // The value with the escapes "\s", "\n", "\t", "\r" and "\\" undone; empty when missing.
    QString string(const QString& key, const QString& group = mainGroup()) const;
    // The value for the locale ("lang_COUNTRY.ENCODING@MODIFIER"): the best "Key[...]" variant,
    // else the unlocalized key.
    QString localeString(const QString& key, const QString& locale, const QString& group = mainGroup()) const;
    // "true" or "1" is true, "false" or "0" false; anything else (or nothing) gives the default.
    bool boolean(const QString& key, bool defaultValue = false, const QString& group = mainGroup()) const;
    // The value split at ";" ("\;" stands for a semicolon), each item unescaped; a final ";" ends
    // the last item rather than starting an empty one.
    QStringList stringList(const QString& key, const QString& group = mainGroup()) const;

    static QString unescape(const QString& value);
    static QStringList splitList(const QString& value);

    // The locale names tried for a locale, best first: "lang_COUNTRY@MODIFIER", "lang_COUNTRY",
    // "lang@MODIFIER", "lang" (those that the locale has); none for "C", "POSIX" or "".
    static QStringList localeVariants(const QString& locale);
    // "de_DE" for a QLocale, "C" for the C locale.
    static QString localeName(const QLocale& locale);
    // The locale of messages of this process: LC_ALL, else LC_MESSAGES, else LANG.
    static QString processLocale();

private:
    struct Group
    {
        QString name;
        QHash<QString, QString> values;
    };

    const Group* findGroup(const QString& name) const;

    QList<Group> m_groups;
};
