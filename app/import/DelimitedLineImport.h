#pragma once

#include "ImportCounts.h"
#include "ZRDelimitedTextParsing.h"

#include <QString>
#include <QStringList>

class ApplicationLocator;

namespace Persistence {
class ObjectContext;
}

// Imports one product from a line of text cut at every occurrence of `delimiter` (no quoting, no
// trimming): piece i goes to `orderedKeys[i]`, empty pieces are empty fields (they never clear a
// stored value), and every occurrence of a non-empty `quote` is removed from each piece. With
// `updateExisting` the first product whose title matches the line's title as a case-insensitive
// pattern is updated instead of adding one. The context is saved after the line, so every imported
// line is stored even if a later one fails; a line whose save fails is rolled back.
//
// False, with nothing changed, when the number of pieces differs from the number of keys, when the
// keys have no "title", when the title is empty, or when searching or saving fails (logged).
// `counts`, when given, records whether a product was added or updated.
bool importProductWithString(const QString& line, const QString& delimiter, const QString& quote,
                             const QStringList& orderedKeys, bool updateExisting, Persistence::ObjectContext* context,
                             ApplicationLocator& locator, ImportCounts* counts = nullptr);

// The same for fields that are already apart (so values may hold the delimiter): field i goes to
// `orderedKeys[i]`; false when the counts differ.
bool importProductWithFields(const DelimitedRow& fields, const QString& quote, const QStringList& orderedKeys,
                             bool updateExisting, Persistence::ObjectContext* context, ApplicationLocator& locator,
                             ImportCounts* counts = nullptr);
