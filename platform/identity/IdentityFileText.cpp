#include "IdentityFileText.h"

#include "text/BoundedFile.h"

namespace IdentityFileText {

std::optional<QString> read(const QString& path, QString* problem)
{
    return BoundedFile::readUtf8(path, MaximumSize, problem);
}

} // namespace IdentityFileText
