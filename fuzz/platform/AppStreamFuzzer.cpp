// Reads fuzzed bytes as AppStream metainfo. Every input must give a component or an error text,
// never a crash or a hang, and an e-mail address taken from it must be one. The same bytes as two
// versions must order the same way read both ways round.
#include "software/AppStreamReader.h"
#include "software/SoftwareVersion.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    const std::optional<AppStreamComponent> component = AppStreamReader::read(bytes, &error);
    if (!component && error.isEmpty()) {
        std::abort();
    }
    if (component && !component->email.isEmpty() && !component->email.contains(QLatin1Char('@'))) {
        std::abort();
    }
    // The input split in two as a pair of versions: the order must be antisymmetric.
    const QString text = QString::fromUtf8(bytes.left(64));
    const QString a = text.left(text.size() / 2);
    const QString b = text.mid(text.size() / 2);
    const int forward = SoftwareVersion::compare(a, b);
    const int backward = SoftwareVersion::compare(b, a);
    if ((forward < 0) != (backward > 0) || (forward == 0) != (backward == 0)) {
        std::abort();
    }
    return 0;
}
