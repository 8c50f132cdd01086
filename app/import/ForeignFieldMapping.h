#pragma once

#include "ForeignRecord.h"

#include <QString>

// The labels of other programs' fields that name a product field: "Licence key", "License Key",
// "Serial", "Product Key", "Registration code" (the serial number), "Registered to", "Version",
// "Publisher", "Purchase date", "Order number", "Price", "Website" and so on. Labels are compared
// ignoring case, spaces and punctuation, so "serial_number" and "Serial No." are the same label.
// Readers of every format share it, so a label means the same wherever it comes from.
class ForeignFieldMapping
{
public:
    // Writes the value into the record's field the label names and answers true; a label naming
    // no field, or one whose field is already filled, adds the pair to the unmapped fields instead
    // (answering false). An empty value changes nothing.
    static bool apply(ForeignRecord& record, const QString& label, const QString& value);
    // Whether the label names a field only licences have (a serial number, a registration).
    static bool isLicenceLabel(const QString& label);
    // Whether a folder, group, category or kind of entry names licences ("Licenses", "Software",
    // "Serial numbers", "software.license"...): its entries are licences even without such a field.
    static bool isLicenceKind(const QString& name);
    // Reads "Label: value" lines of notes whose label names a product field into empty fields of
    // the record; the notes themselves stay as they are. Answers whether a licence label was found.
    static bool applyNoteLines(ForeignRecord& record, const QString& notes);
    // A date as the source writes it ("2027-01-31", "2027-01-31T00:00:00Z", "31.01.2027"); invalid
    // when it is none.
    static QDate parseDate(const QString& text);
};
