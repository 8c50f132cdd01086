#pragma once

#include <QList>
#include <QString>

#include <optional>

// One field of delimited text: its text, or nothing for an empty field. Empty fields are never
// written into a record, so an empty column cannot clear a stored value.
using DelimitedField = std::optional<QString>;
using DelimitedRow = QList<DelimitedField>;
using DelimitedRows = QList<DelimitedRow>;

// Cuts a whole text into rows of fields. Blank space and line breaks at the start of the text are
// skipped, and so are blanks (spaces, tabs) before each field, except blanks that are the
// delimiters themselves, so an empty tab-separated field keeps its column. A field runs to the next
// delimiter; when `quote` is not empty, a field that starts with it runs to the next quote instead
// (delimiters and line breaks included) and loses both quotes. There is no escape for a quote
// inside a quoted field: the next quote ends it, and text after it up to the next delimiter is a
// further field of the same row. A quote that does not start a field is an ordinary character, and
// so is a character of a multi-character delimiter that does not start the whole delimiter. A
// delimiter at the end of a row (or of the text) leaves an empty last field; a record delimiter at
// the very end adds no row; a blank line gives a row of one empty field. When both delimiters are
// the same, every occurrence separates fields and the text is one row. An empty text gives one row
// holding one empty field.
DelimitedRows scannedRowsWithRecordDelimter(const QString& text, const QString& recordDelimiter,
                                            const QString& fieldDelimiter, const QString& quote = QString());
