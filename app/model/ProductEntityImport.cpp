#include "LicenceFieldText.h"
#include "ProductEntity.h"
#include "ZRCurrencyManager.h"
#include "base/Log.h"

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
    } else if (LicenceFieldText::isLicenceField(key)) {
        // A licence field that is refused keeps its value; the log says which text it was.
        QString error;
        if (const auto licence = LicenceFieldText::parse(key, text, purchaseCurrency(), &error)) {
            setValue(key, *licence);
        } else {
            Log::write(QStringLiteral("Import of \"%1\": %2").arg(title(), error));
        }
    } else if (key == u"purchaseDate") {
        setPurchaseDateString(text);
    } else {
        setValue(key, text);
    }
}
