#include "DelimitedLineImport.h"

#include "ProductRowImporter.h"
#include "base/Log.h"
#include "persistence/ObjectContext.h"

using namespace Persistence;

bool importProductWithString(const QString& line, const QString& delimiter, const QString& quote,
                             const QStringList& orderedKeys, bool updateExisting, ObjectContext* context,
                             ApplicationLocator& locator, ImportCounts* counts)
{
    const QStringList pieces = line.split(delimiter);
    DelimitedRow fields;
    fields.reserve(pieces.size());
    for (const QString& piece : pieces) {
        fields.append(piece.isEmpty() ? DelimitedField() : DelimitedField(piece));
    }
    return importProductWithFields(fields, quote, orderedKeys, updateExisting, context, locator, counts);
}

bool importProductWithFields(const DelimitedRow& fields, const QString& quote, const QStringList& orderedKeys,
                             bool updateExisting, ObjectContext* context, ApplicationLocator& locator,
                             ImportCounts* counts)
{
    const qsizetype titleColumn = orderedKeys.indexOf(QStringLiteral("title"));
    if (fields.size() != orderedKeys.size() || titleColumn < 0) {
        return false;
    }
    ProductRowImporter importer(context, locator, updateExisting);
    const ProductRowImporter::Outcome outcome = importer.importRow(fields, orderedKeys, titleColumn, quote);
    if (outcome != ProductRowImporter::Outcome::Added && outcome != ProductRowImporter::Outcome::Updated) {
        return false;
    }
    StoreError error;
    if (!context->save(&error)) {
        Log::write((outcome == ProductRowImporter::Outcome::Updated
                        ? QStringLiteral("Error saving updated product import with delimited string: %1")
                        : QStringLiteral("Error saving new product import with delimited string: %1"))
                       .arg(error.toString()));
        context->rollback();
        return false;
    }
    if (counts) {
        *counts += importer.counts();
    }
    return true;
}
