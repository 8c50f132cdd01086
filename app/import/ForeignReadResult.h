#pragma once

#include "ForeignRecord.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What a reader made of one file: the licences, warnings about what it skipped (each a whole
// sentence for the person), how many entries were no licence, or an error. A file with an error
// imports nothing at all, whatever records were read before it.
struct ForeignReadResult
{
    QString format; // the reader's name, e.g. "Bitwarden JSON"
    QList<ForeignRecord> records;
    QStringList warnings;
    int skippedNotLicence = 0;
    std::optional<QString> error;

    static ForeignReadResult failure(const QString& format, const QString& error)
    {
        ForeignReadResult result;
        result.format = format;
        result.error = error;
        return result;
    }
};
