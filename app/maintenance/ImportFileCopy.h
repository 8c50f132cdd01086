#pragma once

#include "maintenance/ZRNameMappings.h"

#include <QString>

// Brings the icons and attachments of an export folder into the library. A replacing import swaps
// in complete copies of both folders; a merging import copies each file under a fresh name beside
// the library's own files and records old name -> fresh name in the mappings.
class ImportFileCopy
{
public:
    ImportFileCopy() = delete;

    // False (after a log line) when the import must fail: a folder of a replace could not be
    // copied, or the library has no attachments folder to merge into. A single file that cannot be
    // copied in a merge is logged and left out of the mappings.
    static bool copyImportFiles(const QString& exportFolder, bool replace, ZRNameMappings* mappings);

private:
    static bool replaceFolders(const QString& icons, const QString& attachments);
    static bool mergeFolders(const QString& icons, const QString& attachments, ZRNameMappings* mappings);
};
