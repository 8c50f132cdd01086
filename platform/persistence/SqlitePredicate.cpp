#include "SqlitePredicate.h"

#include "Decimal.h"
#include "EntityDescription.h"

#include <QDateTime>

#include <sqlite3.h>

namespace Persistence {

namespace {

using Op = Predicate::Operator;

Op mirrored(Op op)
{
    switch (op) {
    case Op::Less:
        return Op::Greater;
    case Op::LessOrEqual:
        return Op::GreaterOrEqual;
    case Op::Greater:
        return Op::Less;
    case Op::GreaterOrEqual:
        return Op::LessOrEqual;
    default:
        return op;
    }
}

bool isNumeric(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Double:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

QString sqlOperator(Op op)
{
    switch (op) {
    case Op::Less:
        return QStringLiteral("<");
    case Op::LessOrEqual:
        return QStringLiteral("<=");
    case Op::Greater:
        return QStringLiteral(">");
    case Op::GreaterOrEqual:
        return QStringLiteral(">=");
    default:
        return {};
    }
}

QVariant valueOf(sqlite3_value* value)
{
    switch (sqlite3_value_type(value)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return qint64(sqlite3_value_int64(value));
    case SQLITE_FLOAT:
        return sqlite3_value_double(value);
    default:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(value)), sqlite3_value_bytes(value));
    }
}

void matchFunction(sqlite3_context* context, int count, sqlite3_value** values)
{
    if (count != 4) {
        sqlite3_result_error(context, "km_match takes 4 arguments", -1);
        return;
    }
    const auto op = Op(sqlite3_value_int(values[0]));
    const int options = sqlite3_value_int(values[1]);
    const bool patternOperator = op == Op::Like || op == Op::BeginsWith || op == Op::Contains;
    if (patternOperator && sqlite3_value_type(values[2]) == SQLITE_TEXT
        && sqlite3_value_type(values[3]) == SQLITE_TEXT) {
        // The pattern is the same for every row: fold it once and keep it with the statement.
        auto* pattern = static_cast<const QString*>(sqlite3_get_auxdata(context, 3));
        if (!pattern) {
            sqlite3_set_auxdata(context, 3, new QString(foldForComparison(valueOf(values[3]).toString(), options)),
                                [](void* data) { delete static_cast<QString*>(data); });
            pattern = static_cast<const QString*>(sqlite3_get_auxdata(context, 3));
        }
        if (pattern) {
            const QString text
                = foldForComparison(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(values[2])),
                                                      sqlite3_value_bytes(values[2])),
                                    options);
            sqlite3_result_int(context, Predicate::matchFolded(op, text, *pattern) ? 1 : 0);
            return;
        }
    }
    sqlite3_result_int(context, Predicate::compareValues(op, options, valueOf(values[2]), valueOf(values[3])) ? 1 : 0);
}

} // namespace

SqlitePredicate::SqlitePredicate(const EntityDescription* entity, const SqliteSchema::Family& family)
    : m_entity(entity)
    , m_family(family)
{ }

bool SqlitePredicate::registerFunctions(sqlite3* db)
{
    return sqlite3_create_function_v2(db, "km_match", 4, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, matchFunction,
                                      nullptr, nullptr, nullptr)
        == SQLITE_OK;
}

std::optional<SqlitePredicate::Clause> SqlitePredicate::translate(const Predicate& predicate) const
{
    if (predicate.isNull()) {
        return std::nullopt;
    }
    if (auto whole = translateNode(predicate)) {
        return whole;
    }
    if (predicate.kind() != Predicate::Kind::And) {
        return std::nullopt;
    }
    // Push what we can of a conjunction; the caller evaluates the whole predicate afterwards.
    Clause clause;
    clause.complete = false;
    QStringList parts;
    for (const Predicate& child : predicate.children()) {
        if (auto part = translateNode(child)) {
            parts.append(u'(' + part->sql + u')');
            clause.bindings.append(part->bindings);
        }
    }
    if (parts.isEmpty()) {
        return std::nullopt;
    }
    clause.sql = parts.join(QStringLiteral(" AND "));
    return clause;
}

std::optional<SqlitePredicate::Clause> SqlitePredicate::translateNode(const Predicate& predicate) const
{
    switch (predicate.kind()) {
    case Predicate::Kind::True:
        return Clause {QStringLiteral("1"), {}, true};
    case Predicate::Kind::False:
        return Clause {QStringLiteral("0"), {}, true};
    case Predicate::Kind::Comparison:
        return translateComparison(predicate);
    case Predicate::Kind::And:
    case Predicate::Kind::Or: {
        Clause clause;
        QStringList parts;
        for (const Predicate& child : predicate.children()) {
            auto part = translateNode(child);
            if (!part) {
                return std::nullopt;
            }
            parts.append(u'(' + part->sql + u')');
            clause.bindings.append(part->bindings);
        }
        clause.sql
            = parts.join(predicate.kind() == Predicate::Kind::And ? QStringLiteral(" AND ") : QStringLiteral(" OR "));
        return clause;
    }
    case Predicate::Kind::Not:
        // NOT over SQL's NULL logic differs from ours (NOT (null == "x") is true here); evaluate in memory.
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<SqlitePredicate::Clause> SqlitePredicate::translateComparison(const Predicate& predicate) const
{
    using Kind = Predicate::Expression::Kind;
    const Predicate::Expression* key = &predicate.left();
    const Predicate::Expression* constant = &predicate.right();
    Op op = predicate.op();
    if (key->kind != Kind::KeyPath) {
        std::swap(key, constant);
        op = mirrored(op);
        if (op == Op::Like || op == Op::BeginsWith || op == Op::Contains) {
            return std::nullopt; // the pattern is the right-hand side; swapping would change the meaning
        }
    }
    if (key->kind != Kind::KeyPath || constant->kind != Kind::Constant || key->keyPath.size() != 1) {
        return std::nullopt;
    }
    const AttributeDescription* attribute = m_entity->attribute(key->keyPath.first());
    if (!attribute || attribute->type == AttributeType::Binary || attribute->type == AttributeType::Decimal) {
        return std::nullopt;
    }
    const QString column = m_family.columnByProperty.value(attribute->name);
    const QVariant& value = constant->constant;
    const bool isNull = !value.isValid() || value.isNull();
    const int options = predicate.options();

    if (isNull && (op == Op::Equal || op == Op::NotEqual)) {
        return Clause {
            column + (op == Op::Equal ? QStringLiteral(" IS NULL") : QStringLiteral(" IS NOT NULL")), {}, true};
    }
    if (attribute->type == AttributeType::String) {
        if (value.metaType().id() != QMetaType::QString) {
            return std::nullopt;
        }
        if (options == 0 && (op == Op::Equal || op == Op::NotEqual)) {
            return Clause {
                column + (op == Op::Equal ? QStringLiteral(" = ?") : QStringLiteral(" IS NOT ?")), {value}, true};
        }
        return Clause {QStringLiteral("km_match(%1, %2, %3, ?)").arg(int(op)).arg(options).arg(column), {value}, true};
    }
    QVariant binding;
    if (attribute->type == AttributeType::Date) {
        if (value.metaType().id() != QMetaType::QDateTime || !value.toDateTime().isValid()) {
            return std::nullopt;
        }
        binding = value.toDateTime().toMSecsSinceEpoch();
    } else if (isNumeric(value)) {
        binding = value.metaType().id() == QMetaType::Bool ? QVariant(qint64(value.toBool())) : value;
    } else {
        return std::nullopt;
    }
    switch (op) {
    case Op::Equal:
        return Clause {column + QStringLiteral(" = ?"), {binding}, true};
    case Op::NotEqual:
        return Clause {column + QStringLiteral(" IS NOT ?"), {binding}, true};
    case Op::Less:
    case Op::LessOrEqual:
    case Op::Greater:
    case Op::GreaterOrEqual:
        return Clause {column + u' ' + sqlOperator(op) + QStringLiteral(" ?"), {binding}, true};
    default:
        return std::nullopt;
    }
}

} // namespace Persistence
