#include "CurrencyCodes.h"

#include "ZRCurrencyManager.h"
#include "persistence/FetchRequest.h"
#include "persistence/ManagedObject.h"
#include "persistence/ObjectContext.h"

using namespace Persistence;

CurrencyCodes::CurrencyCodes(ObjectContext& context, const QLocale& locale)
    : m_locale(locale)
{
    const auto currencies = context.execute(FetchRequest(QStringLiteral("Currency")));
    if (!currencies) {
        return;
    }
    for (const ManagedObject* currency : *currencies) {
        const QString symbol = currency->value(QStringLiteral("currencySymbol")).toString();
        const QString code = currency->value(QStringLiteral("currencyCode")).toString().trimmed().toUpper();
        if (!symbol.isEmpty() && !code.isEmpty()) {
            m_stored.insert(symbol, code);
        }
    }
}

QString CurrencyCodes::codeForSymbol(const QString& symbol) const
{
    if (const auto stored = m_stored.constFind(symbol); stored != m_stored.cend()) {
        return *stored;
    }
    auto guessed = m_guessed.constFind(symbol);
    if (guessed == m_guessed.cend()) {
        guessed = m_guessed.insert(symbol, ZRCurrencyManager::isoCodeForSymbol(symbol, m_locale));
    }
    return *guessed;
}
