// Feeds arbitrary text to the predicate parser and evaluates what it accepts.
#include "persistence/Predicate.h"

#include <cstddef>
#include <cstdint>

using namespace Persistence;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString format = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QVariantList arguments {QStringLiteral("a*b?"), 42, QStringLiteral("key.path")};
    for (int count = 0; count <= arguments.size(); ++count) {
        if (const auto predicate = Predicate::fromFormat(format, arguments.mid(0, count))) {
            predicate->evaluate(nullptr);
            predicate->toString();
        }
    }
    return 0;
}
