#pragma once

#include <QList>
#include <QLocale>
#include <QString>

namespace Persistence {
class ManagedObject;
class ObjectContext;
} // namespace Persistence

// The currencies of a library as the preferences list them (in their sortIndex order), with the
// edits the list offers. Every edit is checked first: one that is refused answers false with a
// message and changes nothing; one that is made is a single undoable change of the library's
// context, saved with the other edits.
class CurrencyPaneList
{
public:
    struct Currency
    {
        QString symbol;
        QString code; // ISO 4217; empty when none is stored
    };

    // `context` null: no library, an empty list that refuses every edit.
    explicit CurrencyPaneList(Persistence::ObjectContext* context, const QLocale& locale = QLocale());

    QList<Currency> currencies() const;
    // The ISO code a typed symbol most likely stands for; empty when none.
    QString guessedCode(const QString& symbol) const;

    // Adds a currency at the end. A symbol that is itself a known code is stored in capitals.
    // Refused: an empty symbol, one already listed, a code that is empty, unknown or already used.
    bool add(const QString& symbol, const QString& code, QString* error);
    // Refused while products are bought in it (the message names how many).
    bool remove(int row, QString* error);
    // Moves a currency one place up (-1) or down (+1); refused past either end.
    bool move(int row, int offset, QString* error);
    // Refused: a code that is empty, unknown or used by another currency.
    bool setCode(int row, const QString& code, QString* error);

private:
    QList<Persistence::ManagedObject*> sorted() const;
    Persistence::ManagedObject* at(int row, QString* error) const;
    bool checkCode(const QString& code, const Persistence::ManagedObject* except, QString* error) const;
    int productsBoughtIn(const QString& symbol) const;

    Persistence::ObjectContext* m_context;
    QLocale m_locale;
};
