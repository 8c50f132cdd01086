#include "ProductEntity.h"
#include "ZRCurrencyManager.h"

const QString ProductEntity::DontImportKey = QStringLiteral("Don't Import");

void ProductEntity::importValue(const std::optional<QString>& value, const QString& key, const QString& quote)
{
    if (!value || key == DontImportKey) {
        return;
    }
    QString text = *value;
    if (!quote.isEmpty()) {
        text.remove(quote);
    }
    // What a scripting bridge answers for an absent value.
    if (text.compare(QLatin1String("missing value"), Qt::CaseInsensitive) == 0) {
        return;
    }
    if (key == u"purchasePrice") {
        const std::optional<QString> decimal
            = ZRCurrencyManager::formatterForCurrency(purchaseCurrency()).decimalFromString(text);
        setPurchasePrice(decimal ? Persistence::Decimal::fromString(*decimal) : std::nullopt);
    } else if (key == u"purchaseDate") {
        setPurchaseDateString(text);
    } else {
        setValue(key, text);
    }
}
