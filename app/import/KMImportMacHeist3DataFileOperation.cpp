#include "KMImportMacHeist3DataFileOperation.h"

#include "DelimitedLineImport.h"
#include "base/KMRegex.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "plist/PropertyList.h"

#include <QDateTime>
#include <QFileInfo>

namespace {

// Entry keys in the order of orderedKeys(), after "appName".
const QStringList& entryKeys()
{
    static const QStringList keys {
        QStringLiteral("purchasedVersion"),  QStringLiteral("registrationSerialKey"),
        QStringLiteral("registrationEmail"), QStringLiteral("registrationName"),
        QStringLiteral("purchasedDate"),     QStringLiteral("price"),
        QStringLiteral("homepage"),          QStringLiteral("wherePurchased"),
        QStringLiteral("details"),
    };
    return keys;
}

QString textOf(const QVariant& value)
{
    if (value.typeId() == QMetaType::QDateTime) {
        return value.toDateTime().toString(Qt::ISODate);
    }
    return value.toString();
}

} // namespace

const QStringList& KMImportMacHeist3DataFileOperation::orderedKeys()
{
    static const QStringList keys {
        QStringLiteral("title"),           QStringLiteral("productVersion"), QStringLiteral("serialNumber"),
        QStringLiteral("registeredEmail"), QStringLiteral("registeredName"), QStringLiteral("purchaseDate"),
        QStringLiteral("purchasePrice"),   QStringLiteral("productWebsite"), QStringLiteral("purchaseOrderNumber"),
        QStringLiteral("commentsString"),
    };
    return keys;
}

std::optional<DelimitedRow> KMImportMacHeist3DataFileOperation::fieldsForEntry(const QVariantMap& entry)
{
    const QString title = textOf(entry.value(QStringLiteral("appName"))).remove(QStringLiteral(".app"));
    if (title.isEmpty()) {
        return std::nullopt;
    }
    DelimitedRow fields {title};
    for (const QString& key : entryKeys()) {
        QString text = textOf(entry.value(key));
        if (key == u"price") {
            // "$29.95 USD" -> "29.95"
            text = KM_findWithRegEx(text, QStringLiteral("([0-9\\.]+)")).value_or(QString());
        }
        fields.append(text.isEmpty() ? DelimitedField() : DelimitedField(text));
    }
    return fields;
}

void KMImportMacHeist3DataFileOperation::main()
{
    if (!QFileInfo(fileURL()).isFile()) {
        Log::write(QStringLiteral("Missing import file."));
        setError(PresentableError {localizedFormat(QStringLiteral("ImportFileNotFoundFormat"), {fileURL()}), {}, {}});
        return;
    }
    QString parseError;
    const std::optional<QVariant> root = PropertyList::fromFile(fileURL(), &parseError);
    if (!root || root->typeId() != QMetaType::QVariantList) {
        if (root) {
            parseError = QStringLiteral("The root of the property list is no array.");
        }
        Log::write(QStringLiteral("Error importing data file with invalid format: %1").arg(parseError));
        setError(PresentableError {localizedFormat(QStringLiteral("ImportFileNotMacHeist3FileFormat"), {fileURL()}),
                                   localizedString(QStringLiteral("ImportNothingImported")), parseError});
        return;
    }
    ImportCounts counts;
    for (const QVariant& element : root->toList()) {
        const std::optional<DelimitedRow> fields = fieldsForEntry(element.toMap());
        if (!fields) {
            Log::write(QStringLiteral("Skipping a MacHeist 3 entry without an application name."));
            continue;
        }
        importProductWithFields(*fields, QString(), orderedKeys(), true, managedObjectContext(), locator(), &counts);
        setLastImported(*fields->first());
    }
    addCounts(counts);
}
