#pragma once

#include "Predicate.h"
#include "SqliteSchema.h"

#include <QVariantList>

#include <optional>

struct sqlite3;

namespace Persistence {

// Turns the parts of a predicate that SQLite can answer exactly as we would into a WHERE clause:
// comparisons of an attribute of the fetched entity with a value, joined by AND and OR. String
// comparisons other than exact equality go through the SQL function km_match, which runs the same
// code as in-memory evaluation, so a pushed-down predicate can never select differently.
class SqlitePredicate
{
public:
    struct Clause
    {
        QString sql;
        QVariantList bindings;
        bool complete = true; // false when some conjuncts were left for in-memory evaluation
    };

    SqlitePredicate(const EntityDescription* entity, const SqliteSchema::Family& family);

    // The clause for `predicate`; nothing when no part of it can be pushed down.
    std::optional<Clause> translate(const Predicate& predicate) const;

    // Registers km_match on a connection.
    static bool registerFunctions(sqlite3* db);

private:
    std::optional<Clause> translateNode(const Predicate& predicate) const;
    std::optional<Clause> translateComparison(const Predicate& predicate) const;

    const EntityDescription* m_entity;
    const SqliteSchema::Family& m_family;
};

} // namespace Persistence
