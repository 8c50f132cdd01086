#include "ForeignFormatRegistry.h"

#include "BitwardenJsonReader.h"
#include "EnpassJsonReader.h"
#include "KeePassCsvReader.h"
#include "KeePassXmlReader.h"
#include "OnePasswordReader.h"
#include "SnipeItCsvReader.h"
#include "base/Localization.h"

#include <QFile>

namespace {

constexpr qint64 HeadSize = 64 * 1024;

} // namespace

const ForeignFormatRegistry& ForeignFormatRegistry::standard()
{
    static const ForeignFormatRegistry registry = [] {
        ForeignFormatRegistry r;
        r.add(std::make_shared<KeePassXmlReader>());
        r.add(std::make_shared<KeePassCsvReader>());
        r.add(std::make_shared<BitwardenJsonReader>());
        r.add(std::make_shared<EnpassJsonReader>());
        r.add(std::make_shared<OnePasswordReader>());
        r.add(std::make_shared<SnipeItCsvReader>());
        return r;
    }();
    return registry;
}

void ForeignFormatRegistry::add(std::shared_ptr<const ForeignFormatReader> reader)
{
    m_readers.append(std::move(reader));
}

const ForeignFormatReader* ForeignFormatRegistry::readerForBytes(const QByteArray& head) const
{
    for (const auto& reader : m_readers) {
        if (reader->recognises(head)) {
            return reader.get();
        }
    }
    return nullptr;
}

const ForeignFormatReader* ForeignFormatRegistry::readerForFile(const QString& path) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return nullptr;
    }
    return readerForBytes(file.read(HeadSize));
}

ForeignReadResult ForeignFormatRegistry::readFile(const QString& path, const ForeignReadLimits& limits) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return ForeignReadResult::failure({}, localizedString(QStringLiteral("ForeignImportUnreadable")));
    }
    const QByteArray head = file.read(HeadSize);
    if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF")) {
        return ForeignReadResult::failure({}, localizedString(QStringLiteral("ForeignImportNotUtf8")));
    }
    const ForeignFormatReader* reader = readerForBytes(head);
    if (!reader) {
        return ForeignReadResult::failure({}, localizedString(QStringLiteral("ForeignImportUnknownFormat")));
    }
    if (file.size() > limits.maximumFileSize) {
        return ForeignReadResult::failure(reader->name(), localizedString(QStringLiteral("ForeignImportFileTooLarge")));
    }
    file.seek(0);
    ForeignReadResult result = reader->read(file.readAll(), limits);
    result.format = reader->name();
    if (result.error) {
        result.records.clear();
    }
    return result;
}
