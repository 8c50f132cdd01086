#pragma once

#include <QHash>
#include <QLocale>
#include <QString>

namespace Persistence {
class ObjectContext;
}

// The ISO 4217 codes of the currency symbols a library uses. A currency of the library that
// carries a code ("currencyCode") stands for that code, so a person who sets "$" to CAD gets CAD;
// any other symbol gets the code ZRCurrencyManager guesses from it. Totals use the codes so that
// two currencies are never added together.
class CurrencyCodes
{
public:
    CurrencyCodes() = default;
    // Reads the library's currencies once; later changes need a new table.
    explicit CurrencyCodes(Persistence::ObjectContext& context, const QLocale& locale = QLocale());

    // The code of a symbol; empty for a symbol that names no known currency.
    QString codeForSymbol(const QString& symbol) const;

private:
    QHash<QString, QString> m_stored;
    mutable QHash<QString, QString> m_guessed;
    QLocale m_locale;
};
