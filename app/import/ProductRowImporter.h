#pragma once

#include "ImportCounts.h"
#include "ProductTitleIndex.h"
#include "ZRDelimitedTextParsing.h"

#include <QString>
#include <QStringList>

class ApplicationLocator;
class ProductEntity;

namespace Persistence {
class ObjectContext;
}

// Writes imported rows into products of one object context: each row either updates the first
// product whose title matches the row's title (when updating is on) or becomes a new product,
// which first takes the icon and bundle information of an installed application of that title.
// Fields are written in column order through ProductEntity::importValue. Nothing is saved here.
class ProductRowImporter
{
public:
    enum class Outcome { Added, Updated, Skipped, Failed };

    // The locator is used for new products; it must outlive the importer.
    ProductRowImporter(Persistence::ObjectContext* context, ApplicationLocator& locator, bool updateExisting);

    // Matches titles through a table of the context's products instead of one query per row; for
    // imports of many rows. False when the products could not be read.
    bool useTitleTable() { return m_index.build(); }

    // One row: `keyPaths[i]` is the key of field i (fields beyond the keys are ignored, missing
    // fields are not written). The title is the field at `titleColumn`, with `quote` removed; a row
    // without a title is skipped. Failed when the existing products could not be searched.
    Outcome importRow(const DelimitedRow& fields, const QStringList& keyPaths, qsizetype titleColumn,
                      const QString& quote = QString());

    ImportCounts counts() const { return m_counts; }

private:
    ProductEntity* insertProduct(const QString& title);

    Persistence::ObjectContext* m_context;
    ApplicationLocator& m_locator;
    bool m_updateExisting;
    ProductTitleIndex m_index;
    ImportCounts m_counts;
};
