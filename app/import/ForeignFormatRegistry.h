#pragma once

#include "ForeignFormatReader.h"

#include <QList>
#include <QString>

#include <memory>

// The foreign formats the import knows, asked in order: the first reader that recognises a file
// reads it. The command line and the window both go through standard().
class ForeignFormatRegistry
{
public:
    // Every format Keymoor reads.
    static const ForeignFormatRegistry& standard();

    void add(std::shared_ptr<const ForeignFormatReader> reader);
    const QList<std::shared_ptr<const ForeignFormatReader>>& readers() const { return m_readers; }

    // The reader of the file at the path (by its first bytes), or null.
    const ForeignFormatReader* readerForFile(const QString& path) const;
    const ForeignFormatReader* readerForBytes(const QByteArray& head) const;
    // Reads the file with its reader; a file no reader knows, one that cannot be read or one over
    // the size limit answers an error.
    ForeignReadResult readFile(const QString& path, const ForeignReadLimits& limits = {}) const;

private:
    QList<std::shared_ptr<const ForeignFormatReader>> m_readers;
};
