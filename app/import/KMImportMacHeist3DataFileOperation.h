#pragma once

#include "KMImportFileOperation.h"
#include "ZRDelimitedTextParsing.h"

#include <QVariantMap>

// Reads a MacHeist 3 data file (".appshelf"): a property list whose root is an array of
// dictionaries, one per product. Each entry updates the first product whose title matches its
// "appName" (without ".app"), ignoring case, or becomes a new product, and is saved at once. Entries
// without "appName" are skipped; a missing key is an empty field, which changes nothing.
class KMImportMacHeist3DataFileOperation : public KMImportFileOperation
{
public:
    using KMImportFileOperation::KMImportFileOperation;

    // The product keys the fields of an entry go to, in order.
    static const QStringList& orderedKeys();
    // The fields of one entry in that order; nothing when it has no "appName".
    static std::optional<DelimitedRow> fieldsForEntry(const QVariantMap& entry);

protected:
    void main() override;
};
