#pragma once

#include "ForeignRecord.h"

class ProductEntity;

// Writes a foreign record into a product of the catalogue. A new product takes every field the
// record has; an existing one (an update) keeps every field it has filled and takes the record's
// values for the empty ones. The record's notes and its unmapped fields are added to the product's
// notes, the unmapped fields as "name: value" lines under the "Imported fields" heading, so nothing
// of the source is lost. A price is read as a number (the first run of digits with one decimal
// separator); a currency the catalogue knows is set with it; what cannot be read is kept among the
// imported fields. Attachments become attached files.
class ForeignProductWriter
{
public:
    // False when an attachment could not be stored (the product may then be half written; the
    // caller throws the whole import away).
    static bool write(const ForeignRecord& record, ProductEntity* product, bool isNew);
    // The text added to the notes: the record's notes, then the imported fields.
    static QString notesAddition(const ForeignRecord& record, const QList<ForeignField>& unmapped);
};
