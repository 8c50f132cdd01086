#include "SerialKeeperImporter.h"

#include "base/Localization.h"
#include "base/Log.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"

#include <QDomDocument>
#include <QFile>

namespace {

QString productKeyForName(const QString& name)
{
    static const QHash<QString, QString> keys {
        {QStringLiteral("xx0Software"), QStringLiteral("title")},
        {QStringLiteral("xx1Developer"), QStringLiteral("publisher")},
        {QStringLiteral("xSoftwareNotes"), QStringLiteral("commentsString")},
        {QStringLiteral("Version"), QStringLiteral("productVersion")},
        {QStringLiteral("Price"), QStringLiteral("purchasePrice")},
        {QStringLiteral("Date"), QStringLiteral("purchaseDateString")},
        {QStringLiteral("Order Number"), QStringLiteral("purchaseOrderNumber")},
        {QStringLiteral("Name"), QStringLiteral("registeredName")},
        {QStringLiteral("Company"), QStringLiteral("registeredCompany")},
        {QStringLiteral("Email"), QStringLiteral("registeredEmail")},
        {QStringLiteral("Serial # 1"), QStringLiteral("serialNumber")},
    };
    return keys.value(name);
}

QList<QDomElement> childElements(const QDomElement& parent, const QString& tag)
{
    QList<QDomElement> elements;
    for (QDomElement child = parent.firstChildElement(tag); !child.isNull(); child = child.nextSiblingElement(tag)) {
        elements.append(child);
    }
    return elements;
}

// Writes values through the import conversions (the price read in the product's currency, the date
// as written text).
void applyValues(ProductEntity* product, const SerialKeeperImporter::Values& values)
{
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        product->importValue(it.value(), it.key());
    }
}

} // namespace

SerialKeeperImporter::Values SerialKeeperImporter::dictionaryWithStringElements(const QDomElement& parent)
{
    Values values;
    for (const QDomElement& string : childElements(parent, QStringLiteral("String"))) {
        const QString name = string.hasAttribute(QStringLiteral("ControlName"))
            ? string.attribute(QStringLiteral("ControlName"))
            : string.attribute(QStringLiteral("ListHeading"));
        const QString key = productKeyForName(name);
        if (!key.isEmpty()) {
            values.insert(key, string.text());
        }
    }
    return values;
}

void SerialKeeperImporter::main()
{
    QFile file(fileURL());
    if (fileURL().isEmpty() || !file.open(QIODevice::ReadOnly)) {
        Log::write(QStringLiteral("Missing import file."));
        setError(
            PresentableError {localizedFormat(QStringLiteral("ImportFileNotReadableFormat"), {fileURL()}), {}, {}});
        return;
    }
    const QByteArray bytes = file.readAll();
    QDomDocument document;
    QString message;
    int line = 0;
    int column = 0;
    if (!document.setContent(bytes, &message, &line, &column)
        && !document.setContent(QString::fromUtf8(bytes), &message, &line, &column)) {
        parseError(message, line, column);
        return;
    }
    for (const QDomElement& entry : childElements(document.documentElement(), QStringLiteral("Entry"))) {
        importEntry(entry);
    }
}

void SerialKeeperImporter::importEntry(const QDomElement& entry)
{
    const Values entryValues = dictionaryWithStringElements(entry);
    QList<QDomElement> rows;
    for (const QDomElement& array : childElements(entry, QStringLiteral("Array"))) {
        rows += childElements(array, QStringLiteral("Row"));
    }
    ImportCounts counts;
    if (rows.isEmpty()) {
        if (!entryValues.isEmpty() && insertProduct(entryValues)) {
            ++counts.added;
        }
    }
    for (const QDomElement& row : std::as_const(rows)) {
        if (ProductEntity* product = insertProduct(entryValues)) {
            applyValues(product, dictionaryWithStringElements(row));
            ++counts.added;
        }
    }
    setLastImported(entryValues.value(QStringLiteral("title")));
    addCounts(counts);
}

ProductEntity* SerialKeeperImporter::insertProduct(const Values& entryValues)
{
    auto* product = managedObjectContext()->insert<ProductEntity>(QStringLiteral("Product"));
    if (!product) {
        return nullptr;
    }
    applyValues(product, entryValues);
    const QString appPath = locator().pathForApplication(entryValues.value(QStringLiteral("title")));
    if (!appPath.isEmpty()) {
        product->setExternalIconFromAppPath(appPath);
        product->setBundleInfoFromAppPath(appPath);
    }
    return product;
}

void SerialKeeperImporter::parseError(const QString& description, int line, int column)
{
    Alert alert;
    alert.style = AlertStyle::Warning;
    alert.title = localizedString(QStringLiteral("XMLParseErrorTitle"));
    alert.message
        = localizedString(QStringLiteral("XMLParseErrorMessageFormat")).arg(description).arg(line).arg(column);
    alert.buttons = {localizedString(QStringLiteral("OKButton"))};
    Log::write(alert.message);
    setAlert(alert);
}
