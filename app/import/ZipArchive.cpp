#include "ZipArchive.h"

#include "base/Localization.h"

#include <QStringList>

#include <memory>
#include <zip.h>

namespace {

struct ArchiveCloser
{
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct FileCloser
{
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using ArchivePointer = std::unique_ptr<zip_t, ArchiveCloser>;
using FilePointer = std::unique_ptr<zip_file_t, FileCloser>;

ArchivePointer openArchive(const QByteArray& zip, QString* error)
{
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* source = zip_source_buffer_create(zip.constData(), zip_uint64_t(zip.size()), 0, &zipError);
    zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &zipError) : nullptr;
    if (!archive) {
        *error = localizedFormat(QStringLiteral("ZipArchiveUnreadableFormat"),
                                 {QString::fromUtf8(zip_error_strerror(&zipError))});
        if (source) {
            zip_source_free(source);
        }
    }
    zip_error_fini(&zipError);
    return ArchivePointer(archive);
}

// Inflates one entry, stopping as soon as it passes `allowed` bytes.
bool readEntry(zip_t* archive, zip_uint64_t index, const QString& name, qint64 allowed, QByteArray* bytes,
               QString* error)
{
    const FilePointer file(zip_fopen_index(archive, index, 0));
    if (!file) {
        *error = localizedFormat(QStringLiteral("ZipArchiveEntryDamagedFormat"),
                                 {name, QString::fromUtf8(zip_strerror(archive))});
        return false;
    }
    char chunk[65536];
    for (;;) {
        const zip_int64_t read = zip_fread(file.get(), chunk, sizeof chunk);
        if (read < 0) {
            *error = localizedFormat(QStringLiteral("ZipArchiveEntryDamagedFormat"),
                                     {name, QString::fromUtf8(zip_file_strerror(file.get()))});
            return false;
        }
        if (read == 0) {
            return true;
        }
        if (bytes->size() + read > allowed) {
            *error = localizedFormat(QStringLiteral("ZipArchiveEntryTooLargeFormat"), {name});
            return false;
        }
        bytes->append(chunk, qsizetype(read));
    }
}

} // namespace

bool ZipArchive::isSafeEntryName(const QString& name)
{
    if (name.isEmpty() || name.startsWith(u'/') || name.startsWith(u'\\') || name.contains(QChar(0))) {
        return false;
    }
    if (name.size() >= 2 && name.at(1) == u':') { // a drive letter
        return false;
    }
    const QStringList parts = QString(name).replace(u'\\', u'/').split(u'/');
    return !parts.contains(QStringLiteral(".."));
}

bool ZipArchive::readAll(const QByteArray& zip, const Limits& limits, QList<Entry>* entries, QString* error)
{
    entries->clear();
    const ArchivePointer archive = openArchive(zip, error);
    if (!archive) {
        return false;
    }
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (count < 0 || count > limits.maximumEntries) {
        *error = localizedString(QStringLiteral("ZipArchiveTooManyEntries"));
        return false;
    }
    QList<Entry> read;
    qint64 total = 0;
    for (zip_int64_t index = 0; index < count; ++index) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive.get(), zip_uint64_t(index), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME)) {
            *error
                = localizedFormat(QStringLiteral("ZipArchiveEntryDamagedFormat"), {QString::number(index), QString()});
            return false;
        }
        const QString name = QString::fromUtf8(stat.name);
        if (!isSafeEntryName(name)) {
            *error = localizedFormat(QStringLiteral("ZipArchiveEntryOutsideFormat"), {name});
            return false;
        }
        if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE) {
            *error = localizedFormat(QStringLiteral("ZipArchiveEntryEncryptedFormat"), {name});
            return false;
        }
        if (name.endsWith(u'/')) {
            continue;
        }
        const qint64 declared = (stat.valid & ZIP_STAT_SIZE) ? qint64(stat.size) : 0;
        if (declared < 0 || declared > limits.maximumEntrySize || total + declared > limits.maximumTotalSize) {
            *error = localizedFormat(QStringLiteral("ZipArchiveEntryTooLargeFormat"), {name});
            return false;
        }
        Entry entry {name, {}};
        const qint64 allowed = qMin(limits.maximumEntrySize, limits.maximumTotalSize - total);
        if (!readEntry(archive.get(), zip_uint64_t(index), name, allowed, &entry.bytes, error)) {
            return false;
        }
        total += entry.bytes.size();
        read.append(std::move(entry));
    }
    *entries = std::move(read);
    return true;
}
