#pragma once

#include "ForeignFormatReader.h"

#include <QStringList>

// Reads the licences CSV of the Snipe-IT asset register: the file its licence import takes and
// the one its licence list exports. Recognised by its header row, which needs a name column
// ("Item Name", "Name" or "License"), a key column ("Serial Number" or "Product Key") and one
// column only a licence list has ("Licensed To Name", "Licensed To Email" or "Seats").
// Columns are matched without regard to case; those without a product field go to the unmapped
// fields under their own name. A row without a name is left out with a warning.
class SnipeItCsvReader : public ForeignFormatReader
{
public:
    QString name() const override;
    bool recognises(const QByteArray& head) const override;
    ForeignReadResult read(const QByteArray& bytes, const ForeignReadLimits& limits) const override;

    // The header row Keymoor writes, the columns the register's licence import reads.
    static QStringList importColumns();
};
