#include "MailStoreReader.h"

#include "MailStoreFiles.h"
#include "MailStoreLocations.h"
#include "MaildirReader.h"
#include "MboxReader.h"
#include "ThunderbirdMailFolders.h"
#include "base/Localization.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

using Counts = MailStoreReader::Counts;
using Options = MailStoreReader::Options;
using Visitor = MailStoreReader::Visitor;

void fail(Counts& counts, const char* key, const QStringList& arguments)
{
    counts.error = localizedFormat(QString::fromLatin1(key), arguments);
}

// Every mbox of a list; one that cannot be read is counted and the others are still read.
void readMboxFiles(const QStringList& files, const Options& options, const Visitor& visit, Counts& counts)
{
    for (const QString& file : files) {
        QString error;
        if (!MboxReader(file, options).read(visit, counts, error)) {
            return;
        }
        if (!error.isEmpty()) {
            ++counts.unreadable;
        }
    }
}

void readProfile(const QString& profile, const Options& options, const Visitor& visit, Counts& counts)
{
    readMboxFiles(ThunderbirdMailFolders(options.includeTrashAndJunk).mboxFilesOfProfile(profile), options, visit,
                  counts);
}

void readProfilesIni(const QString& path, const Options& options, const Visitor& visit, Counts& counts)
{
    const QString profile = MailStoreLocations::defaultThunderbirdProfile(path);
    if (profile.isEmpty()) {
        fail(counts, "MailStoreNoProfileFormat", {path});
        return;
    }
    readProfile(profile, options, visit, counts);
}

void readFolder(const QString& path, const Options& options, const Visitor& visit, Counts& counts)
{
    const QString profilesIni = QDir(path).filePath(QStringLiteral("profiles.ini"));
    if (MaildirReader::isMaildir(path)) {
        MaildirReader(path, options).read(visit, counts);
    } else if (ThunderbirdMailFolders::isProfile(path)) {
        readProfile(path, options, visit, counts);
    } else if (QFileInfo(profilesIni).isFile()) {
        readProfilesIni(profilesIni, options, visit, counts); // Thunderbird's own folder
    } else {
        // A folder of mbox files, such as one of Thunderbird's account folders.
        const QStringList files = ThunderbirdMailFolders(options.includeTrashAndJunk).mboxFiles(path);
        if (files.isEmpty()) {
            fail(counts, "MailStoreNotAStoreFormat", {path});
            return;
        }
        readMboxFiles(files, options, visit, counts);
    }
}

void readSingleMessage(const QString& path, const Options& options, const Visitor& visit, Counts& counts)
{
    std::optional<QByteArray> bytes = MailStoreFiles::readMessageFile(path, options.maximumMessageSize);
    if (!bytes) {
        ++counts.unreadable;
        fail(counts, "MailStoreNotAMessageFormat", {path});
        return;
    }
    MailStoreMessage message;
    message.bytes = std::move(*bytes);
    message.place.path = path;
    MailStoreFiles::deliver(visit, message, counts);
}

void readFile(const QString& path, const Options& options, const Visitor& visit, Counts& counts)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(counts, "MailStoreUnreadableFormat", {path, file.errorString()});
        return;
    }
    file.close();
    if (QFileInfo(path).fileName() == QLatin1String("profiles.ini")) {
        readProfilesIni(path, options, visit, counts);
    } else if (MailStoreFiles::startsWithFromLine(path)) {
        QString error;
        MboxReader(path, options).read(visit, counts, error);
        if (!error.isEmpty()) {
            fail(counts, "MailStoreUnreadableFormat", {path, error});
        }
    } else {
        readSingleMessage(path, options, visit, counts);
    }
}

} // namespace

MailStoreReader::MailStoreReader()
    : MailStoreReader(Options())
{ }

MailStoreReader::MailStoreReader(Options options)
    : m_options(options)
{ }

MailStoreReader::Counts MailStoreReader::read(const QString& path, const Visitor& visit) const
{
    Counts counts;
    const QFileInfo info(path);
    if (!info.exists()) {
        fail(counts, "MailStoreMissingFormat", {path});
    } else if (info.isDir()) {
        readFolder(path, m_options, visit, counts);
    } else if (info.isFile()) {
        readFile(path, m_options, visit, counts);
    } else {
        fail(counts, "MailStoreNotAStoreFormat", {path});
    }
    return counts;
}

MailStoreMessage MailStoreReader::messageAt(const MailMessagePlace& place) const
{
    if (place.isInMbox()) {
        return MboxReader(place.path, m_options).messageAt(place.offset, place.index).value_or(MailStoreMessage());
    }
    MailStoreMessage message;
    if (std::optional<QByteArray> bytes = MailStoreFiles::readMessageFile(place.path, m_options.maximumMessageSize)) {
        message.bytes = std::move(*bytes);
        message.place = place;
    }
    return message;
}
