#include "CurrencyPaneList.h"

#include "base/Localization.h"
#include "model/ZRCurrencyManager.h"
#include "persistence/FetchRequest.h"
#include "persistence/ManagedObject.h"
#include "persistence/ObjectContext.h"
#include "persistence/Predicate.h"
#include "persistence/UndoManager.h"

#include <algorithm>

using Persistence::ManagedObject;

namespace {

const QString SymbolKey = QStringLiteral("currencySymbol");
const QString CodeKey = QStringLiteral("currencyCode");
const QString OrderKey = QStringLiteral("sortIndex");

bool fail(QString* error, const QString& message)
{
    if (error) {
        *error = message;
    }
    return false;
}

} // namespace

CurrencyPaneList::CurrencyPaneList(Persistence::ObjectContext* context, const QLocale& locale)
    : m_context(context)
    , m_locale(locale)
{ }

QList<ManagedObject*> CurrencyPaneList::sorted() const
{
    if (!m_context) {
        return {};
    }
    const auto objects = m_context->execute(Persistence::FetchRequest(QStringLiteral("Currency")));
    QList<ManagedObject*> list
        = objects ? QList<ManagedObject*>(objects->begin(), objects->end()) : QList<ManagedObject*>();
    std::stable_sort(list.begin(), list.end(), [](const ManagedObject* a, const ManagedObject* b) {
        return a->value(OrderKey).toInt() < b->value(OrderKey).toInt();
    });
    return list;
}

QList<CurrencyPaneList::Currency> CurrencyPaneList::currencies() const
{
    QList<Currency> list;
    for (const ManagedObject* currency : sorted()) {
        list.append({currency->value(SymbolKey).toString(), currency->value(CodeKey).toString()});
    }
    return list;
}

QString CurrencyPaneList::guessedCode(const QString& symbol) const
{
    return ZRCurrencyManager::isoCodeForSymbol(symbol.trimmed(), m_locale);
}

ManagedObject* CurrencyPaneList::at(int row, QString* error) const
{
    const QList<ManagedObject*> list = sorted();
    if (row < 0 || row >= list.size()) {
        fail(error, localizedString(QStringLiteral("CurrencyNoneChosen")));
        return nullptr;
    }
    return list.at(row);
}

bool CurrencyPaneList::checkCode(const QString& code, const ManagedObject* except, QString* error) const
{
    if (code.isEmpty()) {
        return fail(error, localizedString(QStringLiteral("CurrencyCodeEmpty")));
    }
    // A known code is one the currency table resolves to itself.
    if (code.size() != 3 || ZRCurrencyManager::isoCodeForSymbol(code, m_locale) != code) {
        return fail(error, localizedFormat(QStringLiteral("CurrencyCodeUnknownFormat"), {code}));
    }
    for (const ManagedObject* currency : sorted()) {
        if (currency != except && currency->value(CodeKey).toString().compare(code, Qt::CaseInsensitive) == 0) {
            return fail(error,
                        localizedFormat(QStringLiteral("CurrencyCodeTakenFormat"),
                                        {code, currency->value(SymbolKey).toString()}));
        }
    }
    return true;
}

bool CurrencyPaneList::add(const QString& symbol, const QString& code, QString* error)
{
    QString typed = symbol.trimmed();
    const QString upperCode = code.trimmed().toUpper();
    if (!m_context || typed.isEmpty()) {
        return fail(error, localizedString(QStringLiteral("CurrencySymbolEmpty")));
    }
    if (typed.size() == 3 && ZRCurrencyManager::isoCodeForSymbol(typed, m_locale) == typed.toUpper()) {
        typed = typed.toUpper();
    }
    const QList<ManagedObject*> list = sorted();
    for (const ManagedObject* currency : list) {
        if (currency->value(SymbolKey).toString() == typed) {
            return fail(error, localizedFormat(QStringLiteral("CurrencySymbolTakenFormat"), {typed}));
        }
    }
    if (!checkCode(upperCode, nullptr, error)) {
        return false;
    }
    const Persistence::UndoGroup step(m_context->undoManager());
    ManagedObject* currency = m_context->insertObject(QStringLiteral("Currency"));
    if (!currency) {
        return fail(error, localizedFormat(QStringLiteral("CurrencySymbolTakenFormat"), {typed}));
    }
    currency->setValue(SymbolKey, typed);
    currency->setValue(CodeKey, upperCode);
    currency->setValue(OrderKey, list.isEmpty() ? 0 : list.last()->value(OrderKey).toInt() + 1);
    return true;
}

int CurrencyPaneList::productsBoughtIn(const QString& symbol) const
{
    const auto products = m_context->execute(Persistence::FetchRequest(
        QStringLiteral("Product"), Persistence::Predicate::keyPathEquals(QStringLiteral("purchaseCurrency"), symbol)));
    return products ? int(products->size()) : -1;
}

bool CurrencyPaneList::remove(int row, QString* error)
{
    ManagedObject* currency = at(row, error);
    if (!currency) {
        return false;
    }
    const QString symbol = currency->value(SymbolKey).toString();
    const int users = productsBoughtIn(symbol);
    if (users != 0) {
        return fail(error, localizedFormat(QStringLiteral("CurrencyInUseFormat"), {symbol, QString::number(users)}));
    }
    const Persistence::UndoGroup step(m_context->undoManager());
    m_context->deleteObject(currency);
    return true;
}

bool CurrencyPaneList::move(int row, int offset, QString* error)
{
    QList<ManagedObject*> list = sorted();
    const int target = row + offset;
    if (row < 0 || row >= list.size() || target < 0 || target >= list.size()) {
        return fail(error, localizedString(QStringLiteral("CurrencyCannotMove")));
    }
    list.move(row, target);
    const Persistence::UndoGroup step(m_context->undoManager());
    for (int index = 0; index < list.size(); ++index) { // numbered afresh: stored indexes may repeat
        if (list.at(index)->value(OrderKey).toInt() != index) {
            list.at(index)->setValue(OrderKey, index);
        }
    }
    return true;
}

bool CurrencyPaneList::setCode(int row, const QString& code, QString* error)
{
    ManagedObject* currency = at(row, error);
    const QString upper = code.trimmed().toUpper();
    if (!currency || !checkCode(upper, currency, error)) {
        return false;
    }
    if (currency->value(CodeKey).toString() != upper) {
        const Persistence::UndoGroup step(m_context->undoManager());
        currency->setValue(CodeKey, upper);
    }
    return true;
}
