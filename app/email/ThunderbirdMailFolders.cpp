#include "ThunderbirdMailFolders.h"

#include "MailStoreFiles.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Deeper folders than this are not searched (and a loop of links ends here).
constexpr int MaximumDepth = 32;

bool isStateFile(const QFileInfo& file)
{
    static const char* const suffixes[] = {"msf", "dat", "json", "html", "js", "sqlite", "log", "mab", "bak"};
    const QString suffix = file.suffix();
    for (const char* known : suffixes) {
        if (suffix.compare(QLatin1String(known), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

ThunderbirdMailFolders::ThunderbirdMailFolders(bool includeTrashAndJunk)
    : m_includeTrashAndJunk(includeTrashAndJunk)
{ }

bool ThunderbirdMailFolders::isProfile(const QString& path)
{
    const QDir profile(path);
    return QFileInfo(profile.filePath(QStringLiteral("prefs.js"))).isFile()
        || QFileInfo(profile.filePath(QStringLiteral("Mail"))).isDir()
        || QFileInfo(profile.filePath(QStringLiteral("ImapMail"))).isDir();
}

QStringList ThunderbirdMailFolders::mboxFilesOfProfile(const QString& profile) const
{
    // Mail/ and ImapMail/ hold one folder per account ("Local Folders", "imap.example.com").
    QStringList files;
    for (const char* kind : {"Mail", "ImapMail"}) {
        const QDir accounts(QDir(profile).filePath(QLatin1String(kind)));
        for (const QString& account : accounts.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            files += mboxFiles(accounts.filePath(account));
        }
    }
    return files;
}

QStringList ThunderbirdMailFolders::mboxFiles(const QString& folder) const
{
    QStringList files;
    if (QFileInfo(folder).isDir()) {
        collect(folder, 0, files);
    }
    return files;
}

bool ThunderbirdMailFolders::isSkippedName(const QString& name) const
{
    return !m_includeTrashAndJunk && MailStoreFiles::isTrashOrJunk(name);
}

void ThunderbirdMailFolders::collect(const QString& folder, int depth, QStringList& files) const
{
    if (depth > MaximumDepth) {
        return;
    }
    const QFileInfoList entries
        = QDir(folder).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (entry.isDir()) {
            // "Inbox.sbd" holds the subfolders of "Inbox"; other folders are not Thunderbird's.
            const QString name = entry.fileName();
            if (name.endsWith(QLatin1String(".sbd")) && !isSkippedName(name.chopped(4))) {
                collect(entry.filePath(), depth + 1, files);
            }
        } else if (!isStateFile(entry) && !isSkippedName(entry.fileName())
                   && MailStoreFiles::startsWithFromLine(entry.filePath())) {
            files.append(entry.filePath());
        }
    }
}
