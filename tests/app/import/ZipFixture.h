#pragma once

#include <QByteArray>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>

// Zip archives made while the test runs (by python3's zipfile), hostile ones included, so no
// archive needs to be committed.
struct ZipFixtureEntry
{
    QString name;
    QByteArray bytes;
};

struct ZipFixtureOptions
{
    bool markEncrypted = false; // sets the "encrypted" flag of every entry
    qint64 declaredSize = -1; // when set, every entry claims this inflated size
};

inline QByteArray zipFixture(const QList<ZipFixtureEntry>& entries, const ZipFixtureOptions& options = {})
{
    static const char* const Script = R"(
import base64, json, struct, sys, zipfile
wanted = json.load(sys.stdin)
path = sys.argv[1]
with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as archive:
    for entry in wanted['entries']:
        archive.writestr(zipfile.ZipInfo(entry['name']) if entry['name'].endswith('/') else entry['name'],
                         base64.b64decode(entry['bytes']), compress_type=zipfile.ZIP_DEFLATED)
data = bytearray(open(path, 'rb').read())
def patch(signature, flag_at, size_at):
    at = data.find(signature)
    while at >= 0:
        if wanted['encrypted']:
            data[at + flag_at] |= 1
        if wanted['declared'] >= 0:
            struct.pack_into('<I', data, at + size_at, wanted['declared'])
        at = data.find(signature, at + 4)
patch(b'PK\x03\x04', 6, 22)
patch(b'PK\x01\x02', 8, 24)
open(path, 'wb').write(bytes(data))
)";
    QJsonArray list;
    for (const ZipFixtureEntry& entry : entries) {
        list.append(QJsonObject {{QStringLiteral("name"), entry.name},
                                 {QStringLiteral("bytes"), QString::fromLatin1(entry.bytes.toBase64())}});
    }
    const QJsonObject wanted {{QStringLiteral("entries"), list},
                              {QStringLiteral("encrypted"), options.markEncrypted},
                              {QStringLiteral("declared"), double(options.declaredSize)}};
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("fixture.zip"));
    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromUtf8(Script), path});
    python.write(QJsonDocument(wanted).toJson());
    python.closeWriteChannel();
    python.waitForFinished(-1);
    QFile file(path);
    return python.exitCode() == 0 && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The files under a folder as entries named by their paths inside it, in name order.
inline QList<ZipFixtureEntry> zipEntriesOfFolder(const QString& folder)
{
    QList<ZipFixtureEntry> entries;
    QDirIterator files(folder, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (file.open(QIODevice::ReadOnly)) {
            entries.append({file.fileName().mid(folder.size()), file.readAll()});
        }
    }
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    return entries;
}
