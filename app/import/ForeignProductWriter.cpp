#include "ForeignProductWriter.h"

#include "base/Localization.h"
#include "model/AttachmentEntity.h"
#include "model/ProductEntity.h"
#include "model/ZRCurrencyManager.h"
#include "persistence/Decimal.h"
#include "persistence/ObjectContext.h"

#include <QRegularExpression>

using namespace Persistence;

namespace {

void fillText(ProductEntity* product, const QString& key, const QString& value, bool isNew)
{
    if (value.isEmpty()) {
        return;
    }
    if (isNew || product->value(key).toString().isEmpty()) {
        product->setValue(key, value);
    }
}

std::optional<Decimal> parsePrice(const QString& text)
{
    static const QRegularExpression amount(QStringLiteral("(\\d+)(?:[.,](\\d{1,4}))?(?!\\d)"));
    const QRegularExpressionMatch match = amount.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    QString number = match.captured(1);
    if (match.capturedLength(2) > 0) {
        number += QLatin1Char('.') + match.captured(2);
    }
    return Decimal::fromString(number);
}

// The catalogue's symbol for a currency the record names by symbol or ISO code, alone or within
// the price text; empty when it names none the catalogue knows.
QString currencySymbol(const ForeignRecord& record)
{
    const QStringList known = ZRCurrencyManager::currencySymbols();
    for (const QString& text : {record.currency.trimmed(), record.price}) {
        static const QRegularExpression code(QStringLiteral("\\b([A-Z]{3})\\b"));
        const QRegularExpressionMatch match = code.match(text);
        const QString symbol
            = match.hasMatch() ? ZRCurrencyManager::currencySymbolForCode(match.captured(1)) : QString();
        if (!symbol.isEmpty() && known.contains(symbol)) {
            return symbol;
        }
        for (const QString& candidate : known) {
            if (!candidate.isEmpty() && text.contains(candidate)) {
                return candidate;
            }
        }
    }
    return {};
}

// Price, currency and purchase date; what the product cannot take is added to `unmapped`.
void writePurchase(const ForeignRecord& record, ProductEntity* product, bool isNew, QList<ForeignField>& unmapped)
{
    const bool priceFree = isNew || !product->purchasePrice();
    if (!record.price.isEmpty()) {
        const std::optional<Decimal> price = parsePrice(record.price);
        const QString symbol = currencySymbol(record);
        if (price && priceFree) {
            product->setPurchasePrice(price);
            if (!symbol.isEmpty()) {
                product->setPurchaseCurrency(symbol);
            }
        }
        if (!price || (!record.currency.isEmpty() && symbol.isEmpty())) {
            unmapped.append({localizedString(QStringLiteral("ForeignImportPriceLabel")),
                             (record.price + QLatin1Char(' ') + record.currency).trimmed()});
        }
    }
    if (!record.purchaseDate.isEmpty()) {
        // A new product is dated now; the import's date replaces that.
        if (!(isNew || !product->purchaseDate().isValid()) || !product->setPurchaseDateString(record.purchaseDate)) {
            unmapped.append({localizedString(QStringLiteral("ForeignImportPurchaseDateLabel")), record.purchaseDate});
        }
    }
}

bool attach(const ForeignAttachment& file, ProductEntity* product)
{
    ObjectContext* context = product->context();
    AttachmentEntity* attachment = nullptr;
    {
        ContextLocker locker(context);
        attachment = context->insert<AttachmentEntity>(QStringLiteral("AttachedFile"));
    }
    if (!attachment) {
        return false;
    }
    attachment->setName(AttachmentEntity::safeFileName(file.fileName));
    attachment->setDate(QDateTime::currentDateTime());
    if (!attachment->insertNewAttachmentContentWithData(file.bytes)) {
        ContextLocker locker(context);
        context->deleteObject(attachment);
        return false;
    }
    return product->addAttachedFile(attachment);
}

} // namespace

QString ForeignProductWriter::notesAddition(const ForeignRecord& record, const QList<ForeignField>& unmapped)
{
    QStringList parts;
    if (!record.notes.trimmed().isEmpty()) {
        parts.append(record.notes.trimmed());
    }
    if (!unmapped.isEmpty()) {
        QStringList lines {localizedString(QStringLiteral("ForeignImportFieldsHeading"))};
        for (const ForeignField& field : unmapped) {
            lines.append(field.name + QStringLiteral(": ") + field.value);
        }
        parts.append(lines.join(QLatin1Char('\n')));
    }
    return parts.join(QStringLiteral("\n\n"));
}

bool ForeignProductWriter::write(const ForeignRecord& record, ProductEntity* product, bool isNew)
{
    fillText(product, QStringLiteral("title"), record.title, isNew);
    fillText(product, QStringLiteral("serialNumber"), record.serialNumber, isNew);
    fillText(product, QStringLiteral("productVersion"), record.version, isNew);
    fillText(product, QStringLiteral("registeredName"), record.registeredName, isNew);
    fillText(product, QStringLiteral("registeredEmail"), record.registeredEmail, isNew);
    fillText(product, QStringLiteral("registeredCompany"), record.registeredCompany, isNew);
    fillText(product, QStringLiteral("publisher"), record.publisher, isNew);
    fillText(product, QStringLiteral("productWebsite"), record.website, isNew);
    fillText(product, QStringLiteral("productEmail"), record.supportEmail, isNew);
    fillText(product, QStringLiteral("purchaseOrderNumber"), record.orderNumber, isNew);
    QList<ForeignField> unmapped = record.unmapped;
    writePurchase(record, product, isNew, unmapped);
    if (record.expiryDate.isValid()) {
        // The catalogue keeps no expiry date of its own yet.
        unmapped.append(
            {localizedString(QStringLiteral("ForeignImportExpiryLabel")), record.expiryDate.toString(Qt::ISODate)});
    }
    const QString addition = notesAddition(record, unmapped);
    if (!addition.isEmpty()) {
        const QString existing = isNew ? QString() : product->commentsString();
        product->setCommentsString(existing.trimmed().isEmpty() ? addition
                                                                : existing + QStringLiteral("\n\n") + addition);
    }
    for (const ForeignAttachment& file : record.attachments) {
        if (!attach(file, product)) {
            return false;
        }
    }
    return true;
}
