#pragma once

#include <QHash>
#include <QString>

#include <optional>

namespace Persistence {
class ObjectModel;
}

// The to-one references between the records the library check looks at. The first two pairs name
// each other (an attached file and its content, a product and its icon); an attached file's
// product is the inverse of the product's list of attached files, which the store keeps no column for.
enum class LibraryCheckLink { FileProduct, FileContent, ContentAttachment, ProductIcon, IconProduct };

// The tables and columns of the catalogue's records in the SQLite store, as the persistence layer
// lays them out for the current object model (quoted, ready for SQL).
class LibraryCheckTables
{
public:
    // From the application's current object model; nothing when it cannot be loaded.
    static std::optional<LibraryCheckTables> forCurrentModel();
    explicit LibraryCheckTables(const Persistence::ObjectModel& model);

    QString table(const QString& entity) const { return m_tables.value(entity); }
    QString column(const QString& entity, const QString& property) const;

    // The table of the records that hold `link`, and its column.
    QString table(LibraryCheckLink link) const;
    QString column(LibraryCheckLink link) const;

    static QString entityOf(LibraryCheckLink link);
    static QString propertyOf(LibraryCheckLink link);

private:
    QHash<QString, QString> m_tables;
    QHash<QString, QString> m_columns; // "Entity.property"
};
