#include "ThunderbirdMessageAddress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QUrl>

#include <algorithm>

namespace {

// prefs.js is written by Thunderbird itself; a larger file is no profile's.
constexpr qint64 MaximumPrefsSize = 16 * 1024 * 1024;

struct ServerAccount
{
    QString host;
    QString user;
    QString folder;
};

QString decoded(const QString& part)
{
    return QUrl::fromPercentEncoding(part.toUtf8());
}

// The string between the quotes that start at `from`, with "\\" and "\"" escapes undone.
QString quoted(const QString& line, qsizetype from, qsizetype* end)
{
    QString text;
    qsizetype i = line.indexOf(QLatin1Char('"'), from);
    for (i = i < 0 ? line.size() : i + 1; i < line.size() && line.at(i) != QLatin1Char('"'); ++i) {
        if (line.at(i) == QLatin1Char('\\') && i + 1 < line.size()) {
            ++i;
        }
        text += line.at(i);
    }
    *end = i + 1;
    return text;
}

// The folder a server's "directory-rel" ("[ProfD]Mail/pop.example.com") or "directory" names.
QString accountFolder(const QString& profile, const QString& relative, const QString& absolute)
{
    static const QString ProfileMark = QStringLiteral("[ProfD]");
    if (relative.startsWith(ProfileMark)) {
        return QDir(profile).filePath(relative.mid(ProfileMark.size()));
    }
    return QDir::isAbsolutePath(absolute) ? absolute : QString();
}

// The accounts of the lines `user_pref("mail.server.serverN.key", "value");` of prefs.js.
QList<ServerAccount> serverAccounts(const QString& profile)
{
    QFile file(QDir(profile).filePath(QStringLiteral("prefs.js")));
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaximumPrefsSize) {
        return {};
    }
    static const QString Prefix = QStringLiteral("mail.server.");
    QHash<QString, QHash<QString, QString>> values; // by server, by key
    QStringList servers;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        qsizetype end = 0;
        if (!line.trimmed().startsWith(QLatin1String("user_pref("))) {
            continue;
        }
        const QString name = quoted(line, 0, &end);
        const qsizetype dot = name.indexOf(QLatin1Char('.'), Prefix.size());
        if (!name.startsWith(Prefix) || dot < 0) {
            continue;
        }
        const QString server = name.mid(Prefix.size(), dot - Prefix.size());
        if (!values.contains(server)) {
            servers.append(server);
        }
        values[server].insert(name.mid(dot + 1), quoted(line, end, &end));
    }
    QList<ServerAccount> accounts;
    for (const QString& server : servers) {
        const QHash<QString, QString>& keys = values.value(server);
        const QString folder = accountFolder(profile, keys.value(QStringLiteral("directory-rel")),
                                             keys.value(QStringLiteral("directory")));
        if (!folder.isEmpty()) {
            accounts.append({keys.value(QStringLiteral("hostname")), keys.value(QStringLiteral("userName")), folder});
        }
    }
    return accounts;
}

bool isUnsafeName(const QString& name)
{
    return name.isEmpty() || name == QLatin1String("..") || name == QLatin1String(".")
        || name.contains(QLatin1Char('/'));
}

} // namespace

QString ThunderbirdMessageAddress::serverFolder(const QString& profile, const QString& user, const QString& host)
{
    const QList<ServerAccount> accounts = serverAccounts(profile);
    const auto sameHost
        = [&host](const ServerAccount& account) { return account.host.compare(host, Qt::CaseInsensitive) == 0; };
    const auto sameUser = [&](const ServerAccount& account) { return sameHost(account) && account.user == user; };
    auto found = std::find_if(accounts.begin(), accounts.end(), sameUser);
    if (found == accounts.end()) {
        found = std::find_if(accounts.begin(), accounts.end(), sameHost);
    }
    return found != accounts.end() ? found->folder : QDir(profile).filePath(QStringLiteral("Mail/") + host);
}

std::optional<MailMessagePlace> ThunderbirdMessageAddress::place(const QString& address, const QString& profile)
{
    static const QString Scheme = QStringLiteral("mailbox-message://");
    const qsizetype hash = address.lastIndexOf(QLatin1Char('#'));
    if (!address.startsWith(Scheme) || hash < 0 || profile.isEmpty()) {
        return std::nullopt;
    }
    bool isNumber = false;
    const qint64 offset = address.mid(hash + 1).toLongLong(&isNumber);
    const QString location = address.mid(Scheme.size(), hash - Scheme.size());
    const qsizetype slash = location.indexOf(QLatin1Char('/'));
    if (!isNumber || offset < 0 || slash < 0) {
        return std::nullopt;
    }
    const QString authority = location.left(slash);
    const qsizetype at = authority.lastIndexOf(QLatin1Char('@'));
    const QString user = at < 0 ? QString() : decoded(authority.left(at));
    const QString server = decoded(authority.mid(at + 1));
    QStringList folders;
    for (const QString& folder : location.mid(slash + 1).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        folders.append(decoded(folder));
    }
    if (isUnsafeName(server) || folders.isEmpty() || std::any_of(folders.begin(), folders.end(), isUnsafeName)) {
        return std::nullopt;
    }
    // Each folder's subfolders live in a "<name>.sbd" folder beside its mbox.
    QString path = serverFolder(profile, user, server);
    for (qsizetype i = 0; i < folders.size(); ++i) {
        path += QLatin1Char('/') + folders.at(i) + (i + 1 < folders.size() ? QStringLiteral(".sbd") : QString());
    }
    if (!QFileInfo(path).isFile()) {
        return std::nullopt;
    }
    MailMessagePlace place;
    place.path = path;
    place.offset = offset;
    return place;
}
