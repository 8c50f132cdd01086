#include "ZRManagedObject.h"
#include "base/LibraryPaths.h"
#include "persistence/Decimal.h"
#include "persistence/ObjectContext.h"
#include "persistence/StoreCoordinator.h"

#include <QFileInfo>

using Persistence::Decimal;

namespace {

// A number as the locale writes it, without digit grouping: a comma-delimited line must never gain
// a field because a price was written as "1,299.00".
QString numberText(const QVariant& value, const QLocale& locale)
{
    if (value.metaType() == QMetaType::fromType<Decimal>()) {
        QString text = value.value<Decimal>().toString();
        return text.replace(u'.', locale.decimalPoint());
    }
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    switch (value.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return plain.toString(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return plain.toString(value.toLongLong());
    }
}

bool isNumber(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<Decimal>()) {
        return true;
    }
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

QString quoted(QString text)
{
    text.replace(u'"', u'\'');
    return u'"' + text + u'"';
}

} // namespace

QVariant ZRManagedObject::exportValueForKeyPath(const QString& keyPath) const
{
    return valueForKeyPath(keyPath);
}

QString ZRManagedObject::delimitedValuesByOrderedKeyPaths(const ExportFieldList& fields, const QString& delimiter,
                                                          const QLocale& locale) const
{
    QString line;
    bool first = true;
    for (const ExportField& field : fields) {
        if (!field.active) {
            continue;
        }
        if (!first) {
            line += delimiter;
        }
        first = false;
        const QVariant value = exportValueForKeyPath(field.keyPath);
        if (!value.isValid() || value.isNull()) {
            continue;
        }
        if (value.metaType().id() == QMetaType::QString) {
            line += quoted(value.toString());
        } else if (isNumber(value)) {
            // Numbers stay unquoted, except where the locale's decimal separator is the delimiter
            // itself: unquoted, "29,95" would split into two fields of a comma-delimited line.
            const QString number = numberText(value, locale);
            line += !delimiter.isEmpty() && number.contains(delimiter) ? quoted(number) : number;
        } else if (value.metaType().id() == QMetaType::QDateTime || value.metaType().id() == QMetaType::QDate) {
            line += quoted(locale.toString(value.toDateTime().toLocalTime().date(), QLocale::ShortFormat));
        } else {
            line += value.toString();
        }
    }
    return line;
}

bool ZRManagedObject::isExporting() const
{
    if (!context() || !context()->coordinator()) {
        return false;
    }
    const Persistence::PersistentStore* store = context()->coordinator()->firstStore();
    if (!store) {
        return false;
    }
    const QString library = QFileInfo(LibraryPaths::persistentStoreURL()).absoluteFilePath();
    return QFileInfo(store->path()).absoluteFilePath() != library;
}
