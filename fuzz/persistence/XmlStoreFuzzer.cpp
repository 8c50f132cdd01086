// Feeds arbitrary bytes to the XML store reader, the parser of export and legacy library files.
#include "persistence/ObjectModel.h"
#include "persistence/XmlStoreReader.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

using namespace Persistence;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::shared_ptr<const ObjectModel> model
        = ObjectModel::fromFile(QStringLiteral(KEYMOOR_SOURCE_DIR "/tests/data/persistence/model_v1.json"));
    if (!model) {
        return 0;
    }
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    XmlStoreData store;
    StoreError error;
    XmlStoreReader::read(
        buffer, QStringLiteral("fuzz.xml"), *model, [](const StoreInfo&, StoreError*) { return true; }, &store, &error);
    buffer.seek(0);
    XmlStoreReader::readInfo(buffer, QStringLiteral("fuzz.xml"), &error);
    return 0;
}
