#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>

namespace Persistence {

class ManagedObject;

// A condition on objects, built from a format string such as
//   title LIKE[c] %@        (name LIKE[c] %@) AND (product.title LIKE[c] %@)        product.appIcon != SELF
// Operands are key paths (following to-one relationships), SELF, literals ("text", 'text', 12,
// 1.5, nil, TRUE/FALSE/YES/NO) and arguments (%@ a value, %K a key path, %d/%i integers, %f
// doubles). Operators: == (=), != (<>), <, <=, >, >=, LIKE (* any run, ? one character),
// BEGINSWITH, CONTAINS, each string operator with [c] (ignore case) and/or [d] (ignore accents).
// AND (&&), OR (||), NOT (!), parentheses, TRUEPREDICATE and FALSEPREDICATE combine them.
// A default-constructed predicate matches everything.
class Predicate
{
public:
    enum class Kind { True, False, Comparison, And, Or, Not };
    enum class Operator { Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual, Like, BeginsWith, Contains };
    enum Option { CaseInsensitive = 1, DiacriticInsensitive = 2 };

    struct Expression
    {
        enum class Kind { KeyPath, Self, Constant };
        Kind kind = Kind::Constant;
        QStringList keyPath;
        QVariant constant;
    };

    Predicate() = default;

    static std::optional<Predicate> fromFormat(const QString& format, const QVariantList& arguments = {},
                                               QString* error = nullptr);
    static Predicate comparison(Expression left, Operator op, Expression right, int options = 0);
    static Predicate keyPathEquals(const QString& keyPath, const QVariant& value);
    static Predicate constant(bool value);
    static Predicate conjunction(Kind kind, QList<Predicate> children); // And or Or
    static Predicate negation(Predicate child);

    bool isNull() const { return !m_node; }
    Kind kind() const;
    // Comparison parts (valid for Kind::Comparison).
    Operator op() const;
    int options() const;
    const Expression& left() const;
    const Expression& right() const;
    // Operands of And, Or (several) and Not (one).
    const QList<Predicate>& children() const;

    bool evaluate(const ManagedObject* object) const;
    // The comparison rule itself, on two values (objects compare by identity).
    static bool compareValues(Operator op, int options, const QVariant& a, const QVariant& b);
    // LIKE, BEGINSWITH and CONTAINS on strings already folded with foldForComparison().
    static bool matchFolded(Operator op, QStringView text, QStringView pattern);
    QString toString() const;

private:
    struct Node;
    std::shared_ptr<const Node> m_node;
};

// Pattern matching of LIKE: '*' matches any run of characters, '?' exactly one; both strings are
// compared as given (callers fold case or accents first). Linear in practice, no recursion.
bool likeMatches(QStringView text, QStringView pattern);

// The form a string takes under the [c] and [d] options.
QString foldForComparison(const QString& text, int options);

} // namespace Persistence

Q_DECLARE_METATYPE(Persistence::Predicate)
