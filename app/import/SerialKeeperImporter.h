#pragma once

#include "KMImportFileOperation.h"

#include <QList>
#include <QMap>

class QDomElement;
class ProductEntity;

// Reads the XML export of The Serial Keeper: a root element of "Entry" elements, each holding
// "String" elements (the product's own values) and "Array/Row" elements (one per serial-number
// record, each with "String" elements of its own). Every row becomes a product carrying the entry's
// values and the row's; an entry without rows still becomes one product, so none of its values are
// lost. A "String" is named by its "ControlName" attribute, else by "ListHeading".
//
// A document that cannot be parsed imports nothing and leaves the "Error Parsing XML File" alert,
// with the line and column of the fault, for the person.
class SerialKeeperImporter : public KMImportFileOperation
{
public:
    using KMImportFileOperation::KMImportFileOperation;

    // Name -> product key of the values that are imported; other names are ignored.
    using Values = QMap<QString, QString>;
    static Values dictionaryWithStringElements(const QDomElement& parent);

protected:
    void main() override;

private:
    void importEntry(const QDomElement& entry);
    ProductEntity* insertProduct(const Values& entryValues);
    void parseError(const QString& description, int line, int column);
};
