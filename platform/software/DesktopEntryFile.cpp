#include "DesktopEntryFile.h"

#include "text/BoundedFile.h"

#include <QByteArrayView>

#include <algorithm>
#include <cstring>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

QByteArrayView trimmed(QByteArrayView text)
{
    while (!text.isEmpty() && isBlank(text.front())) {
        text = text.sliced(1);
    }
    while (!text.isEmpty() && isBlank(text.back())) {
        text.chop(1);
    }
    return text;
}

bool isKeyCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_'
        || c == '.';
}

bool isLocaleCharacter(char c)
{
    return isKeyCharacter(c) || c == '@';
}

// "Key" or "Key[locale]", with nothing else.
bool isValidKey(QByteArrayView key)
{
    const qsizetype bracket = key.indexOf('[');
    const QByteArrayView name = bracket < 0 ? key : key.first(bracket);
    if (name.isEmpty() || !std::all_of(name.begin(), name.end(), isKeyCharacter)) {
        return false;
    }
    if (bracket < 0) {
        return true;
    }
    const QByteArrayView locale = key.sliced(bracket + 1);
    return locale.size() > 1 && locale.back() == ']'
        && std::all_of(locale.begin(), locale.end() - 1, isLocaleCharacter);
}

// A group name is printable ASCII without brackets.
bool isValidGroupName(QByteArrayView name)
{
    return !name.isEmpty()
        && std::all_of(name.begin(), name.end(), [](char c) { return c >= 0x20 && c < 0x7F && c != '[' && c != ']'; });
}

} // namespace

QString DesktopEntryFile::mainGroup()
{
    return QStringLiteral("Desktop Entry");
}

std::optional<DesktopEntryFile> DesktopEntryFile::read(const QString& path, QString* error,
                                                       const QString& requiredGroup)
{
    const std::optional<QByteArray> data = BoundedFile::read(path, MaximumSize, error);
    if (!data) {
        return std::nullopt;
    }
    std::optional<DesktopEntryFile> entry = parse(*data, error, requiredGroup);
    if (!entry) {
        *error = QStringLiteral("%1: %2").arg(path, *error);
    }
    return entry;
}

std::optional<DesktopEntryFile> DesktopEntryFile::parse(const QByteArray& data, QString* error,
                                                        const QString& requiredGroup)
{
    if (data.size() > MaximumSize) {
        *error = QStringLiteral("The file is larger than %1 bytes.").arg(MaximumSize);
        return std::nullopt;
    }
    DesktopEntryFile file;
    file.m_data = data;
    Group* current = nullptr;
    QByteArrayView rest(file.m_data);
    if (rest.startsWith("\xEF\xBB\xBF")) {
        rest = rest.sliced(3);
    }
    while (!rest.isEmpty()) {
        const qsizetype end = rest.indexOf('\n');
        const QByteArrayView rawLine = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        const QByteArrayView line = trimmed(rawLine);
        if (line.isEmpty() || line.front() == '#' || line.size() > MaximumLineLength
            || std::memchr(line.data(), 0, size_t(line.size())) != nullptr) {
            continue;
        }
        if (line.front() == '[') {
            const QByteArrayView name = line.back() == ']' ? line.sliced(1, line.size() - 2) : QByteArrayView();
            current = nullptr;
            if (isValidGroupName(name)) {
                const QString groupName = QString::fromLatin1(name);
                // A repeated group adds nothing: its keys were given the first time.
                if (file.findGroup(groupName) == nullptr) {
                    file.m_groups.append(Group {groupName, {}});
                    current = &file.m_groups.last();
                }
            }
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (current == nullptr || equals <= 0 || !line.isValidUtf8()) {
            continue;
        }
        const QByteArrayView key = trimmed(line.first(equals));
        if (!isValidKey(key)) {
            continue;
        }
        if (!current->values.contains(key)) {
            current->values.insert(key, trimmed(line.sliced(equals + 1)));
        }
    }
    if (file.findGroup(requiredGroup) == nullptr) {
        *error = QStringLiteral("The file has no [%1] group.").arg(requiredGroup);
        return std::nullopt;
    }
    return file;
}

QStringList DesktopEntryFile::groups() const
{
    QStringList names;
    for (const Group& group : m_groups) {
        names.append(group.name);
    }
    return names;
}

bool DesktopEntryFile::hasKey(const QString& key, const QString& group) const
{
    return rawValue(key, group).has_value();
}

std::optional<QString> DesktopEntryFile::rawValue(const QString& key, const QString& group) const
{
    const Group* found = findGroup(group);
    if (found == nullptr) {
        return std::nullopt;
    }
    const QByteArray latin1 = key.toLatin1();
    const auto value = found->values.constFind(QByteArrayView(latin1));
    if (value == found->values.cend()) {
        return std::nullopt;
    }
    return QString::fromUtf8(*value);
}

QString DesktopEntryFile::string(const QString& key, const QString& group) const
{
    return unescape(rawValue(key, group).value_or(QString()));
}

QString DesktopEntryFile::localeString(const QString& key, const QString& locale, const QString& group) const
{
    for (const QString& variant : localeVariants(locale)) {
        if (const std::optional<QString> value = rawValue(key + QLatin1Char('[') + variant + QLatin1Char(']'), group)) {
            return unescape(*value);
        }
    }
    return string(key, group);
}

bool DesktopEntryFile::boolean(const QString& key, bool defaultValue, const QString& group) const
{
    const std::optional<QString> value = rawValue(key, group);
    if (value == QLatin1String("true") || value == QLatin1String("1")) {
        return true;
    }
    if (value == QLatin1String("false") || value == QLatin1String("0")) {
        return false;
    }
    return defaultValue;
}

QStringList DesktopEntryFile::stringList(const QString& key, const QString& group) const
{
    return splitList(rawValue(key, group).value_or(QString()));
}

QString DesktopEntryFile::unescape(const QString& value)
{
    if (!value.contains(QLatin1Char('\\'))) {
        return value;
    }
    QString result;
    result.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            result.append(c);
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's':
            result.append(QLatin1Char(' '));
            break;
        case 'n':
            result.append(QLatin1Char('\n'));
            break;
        case 't':
            result.append(QLatin1Char('\t'));
            break;
        case 'r':
            result.append(QLatin1Char('\r'));
            break;
        case '\\':
            result.append(QLatin1Char('\\'));
            break;
        default:
            // Not one of ours: kept for a later reader (the quoting of Exec uses "\"", "\$", ...).
            result.append(c);
            result.append(next);
            break;
        }
    }
    return result;
}

QStringList DesktopEntryFile::splitList(const QString& value)
{
    QStringList items;
    QString item;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar next = value.at(++i);
            if (next == QLatin1Char(';')) {
                item.append(next);
            } else {
                item.append(c);
                item.append(next);
            }
        } else if (c == QLatin1Char(';')) {
            items.append(unescape(item));
            item.clear();
        } else {
            item.append(c);
        }
    }
    if (!item.isEmpty()) {
        items.append(unescape(item));
    }
    return items;
}

QStringList DesktopEntryFile::localeVariants(const QString& locale)
{
    qsizetype end = locale.size();
    QString modifier;
    if (const qsizetype at = locale.indexOf(QLatin1Char('@')); at >= 0) {
        modifier = locale.mid(at + 1);
        end = at;
    }
    QString base = locale.left(end);
    if (const qsizetype dot = base.indexOf(QLatin1Char('.')); dot >= 0) {
        base.truncate(dot);
    }
    QString country;
    QString language = base;
    if (const qsizetype underscore = base.indexOf(QLatin1Char('_')); underscore >= 0) {
        language = base.left(underscore);
        country = base.mid(underscore + 1);
    }
    if (language.isEmpty() || language == QLatin1String("C") || language == QLatin1String("POSIX")) {
        return {};
    }
    QStringList variants;
    const QString withCountry = language + QLatin1Char('_') + country;
    if (!country.isEmpty() && !modifier.isEmpty()) {
        variants.append(withCountry + QLatin1Char('@') + modifier);
    }
    if (!country.isEmpty()) {
        variants.append(withCountry);
    }
    if (!modifier.isEmpty()) {
        variants.append(language + QLatin1Char('@') + modifier);
    }
    variants.append(language);
    return variants;
}

QString DesktopEntryFile::localeName(const QLocale& locale)
{
    return locale.language() == QLocale::C ? QStringLiteral("C") : locale.name();
}

QString DesktopEntryFile::processLocale()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty()) {
            return value;
        }
    }
    return QStringLiteral("C");
}

const DesktopEntryFile::Group* DesktopEntryFile::findGroup(const QString& name) const
{
    for (const Group& group : m_groups) {
        if (group.name == name) {
            return &group;
        }
    }
    return nullptr;
}
