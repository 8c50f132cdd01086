#include "CurrencyCodes.h"
#include "LicenceFieldText.h"
#include "PriceText.h"
#include "ProductEntity.h"
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
        // Read as a person would type it (the locale's form, the currency's own, or a plain number);
        // a price that cannot be read keeps the value the product has.
        const QString symbol = purchaseCurrency();
        const PriceText::Reading reading = PriceText(CurrencyCodes().codeForSymbol(symbol), symbol).read(text);
        if (reading.accepted()) {
            setPurchasePrice(reading.price);
        } else {
            Log::write(QStringLiteral("Import of \"%1\": the price \"%2\" cannot be read.").arg(title(), text));
        }
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
