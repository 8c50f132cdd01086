#include "Predicate.h"

#include "AttributeValue.h"
#include "ManagedObject.h"
#include "ObjectID.h"

namespace Persistence {

struct Predicate::Node
{
    Kind kind = Kind::True;
    Operator op = Operator::Equal;
    int options = 0;
    Expression left;
    Expression right;
    QList<Predicate> children;
};

namespace {

const Predicate::Expression& emptyExpression()
{
    static const Predicate::Expression expression;
    return expression;
}

QVariant evaluateExpression(const Predicate::Expression& expression, const ManagedObject* object)
{
    switch (expression.kind) {
    case Predicate::Expression::Kind::Constant:
        return expression.constant;
    case Predicate::Expression::Kind::Self:
        return QVariant::fromValue(const_cast<ManagedObject*>(object));
    case Predicate::Expression::Kind::KeyPath:
        return object ? object->valueForKeyPath(expression.keyPath) : QVariant();
    }
    return {};
}

// Objects compare by identity: an object, its identifier and nothing are the three forms.
std::optional<bool> identityEqual(const QVariant& a, const QVariant& b)
{
    const auto asID = [](const QVariant& v) -> std::optional<ObjectID> {
        if (v.metaType() == QMetaType::fromType<ManagedObject*>()) {
            const ManagedObject* object = v.value<ManagedObject*>();
            return object ? object->objectID() : ObjectID();
        }
        if (v.metaType() == QMetaType::fromType<ObjectID>()) {
            return v.value<ObjectID>();
        }
        return std::nullopt;
    };
    const auto ida = asID(a);
    const auto idb = asID(b);
    if (!ida && !idb) {
        return std::nullopt;
    }
    if (ida && idb) {
        if (a.metaType() == b.metaType() && a.metaType() == QMetaType::fromType<ManagedObject*>()) {
            return a.value<ManagedObject*>() == b.value<ManagedObject*>();
        }
        return *ida == *idb;
    }
    const QVariant& other = ida ? b : a;
    const ObjectID& id = ida ? *ida : *idb;
    const bool otherNull = !other.isValid() || other.isNull();
    return otherNull && id.isNull();
}

bool compareStrings(Predicate::Operator op, const QString& text, const QString& pattern, int options)
{
    return Predicate::matchFolded(op, foldForComparison(text, options), foldForComparison(pattern, options));
}

bool evaluateComparison(Predicate::Operator op, int options, const QVariant& a, const QVariant& b)
{
    if (const auto same = identityEqual(a, b)) {
        if (op == Predicate::Operator::Equal) {
            return *same;
        }
        return op == Predicate::Operator::NotEqual && !*same;
    }
    const bool aString = a.metaType().id() == QMetaType::QString;
    const bool bString = b.metaType().id() == QMetaType::QString;
    if (op == Predicate::Operator::Like || op == Predicate::Operator::BeginsWith
        || op == Predicate::Operator::Contains) {
        return aString && bString && compareStrings(op, a.toString(), b.toString(), options);
    }
    QVariant left = a;
    QVariant right = b;
    if (aString && bString && (options & Predicate::DiacriticInsensitive)) {
        left = foldForComparison(a.toString(), Predicate::DiacriticInsensitive);
        right = foldForComparison(b.toString(), Predicate::DiacriticInsensitive);
    }
    bool comparable = true;
    const int order = AttributeValue::compare(left, right, options & Predicate::CaseInsensitive, &comparable);
    const bool aNull = !a.isValid() || a.isNull();
    const bool bNull = !b.isValid() || b.isNull();
    switch (op) {
    case Predicate::Operator::Equal:
        return comparable && order == 0;
    case Predicate::Operator::NotEqual:
        return !comparable || order != 0;
    default:
        break;
    }
    // Ordering a missing value is never true, like SQL.
    if (!comparable || aNull || bNull) {
        return false;
    }
    switch (op) {
    case Predicate::Operator::Less:
        return order < 0;
    case Predicate::Operator::LessOrEqual:
        return order <= 0;
    case Predicate::Operator::Greater:
        return order > 0;
    case Predicate::Operator::GreaterOrEqual:
        return order >= 0;
    default:
        return false;
    }
}

QString expressionText(const Predicate::Expression& expression)
{
    switch (expression.kind) {
    case Predicate::Expression::Kind::Self:
        return QStringLiteral("SELF");
    case Predicate::Expression::Kind::KeyPath:
        return expression.keyPath.join(u'.');
    case Predicate::Expression::Kind::Constant:
        break;
    }
    const QVariant& value = expression.constant;
    if (!value.isValid() || value.isNull()) {
        return QStringLiteral("nil");
    }
    if (value.metaType().id() == QMetaType::QString) {
        QString text = value.toString();
        text.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
        return u'"' + text + u'"';
    }
    if (value.metaType() == QMetaType::fromType<ManagedObject*>()) {
        const ManagedObject* object = value.value<ManagedObject*>();
        return object ? object->objectID().uriString() : QStringLiteral("nil");
    }
    return value.toString();
}

QString operatorText(Predicate::Operator op)
{
    static const char* const names[] = {"==", "!=", "<", "<=", ">", ">=", "LIKE", "BEGINSWITH", "CONTAINS"};
    return QString::fromLatin1(names[int(op)]);
}

} // namespace

Predicate Predicate::comparison(Expression left, Operator op, Expression right, int options)
{
    auto node = std::make_shared<Node>();
    node->kind = Kind::Comparison;
    node->op = op;
    node->options = options;
    node->left = std::move(left);
    node->right = std::move(right);
    Predicate predicate;
    predicate.m_node = std::move(node);
    return predicate;
}

Predicate Predicate::keyPathEquals(const QString& keyPath, const QVariant& value)
{
    Expression left {Expression::Kind::KeyPath, keyPath.split(u'.'), {}};
    Expression right {Expression::Kind::Constant, {}, value};
    return comparison(std::move(left), Operator::Equal, std::move(right));
}

Predicate Predicate::constant(bool value)
{
    auto node = std::make_shared<Node>();
    node->kind = value ? Kind::True : Kind::False;
    Predicate predicate;
    predicate.m_node = std::move(node);
    return predicate;
}

Predicate Predicate::conjunction(Kind kind, QList<Predicate> children)
{
    Q_ASSERT(kind == Kind::And || kind == Kind::Or);
    auto node = std::make_shared<Node>();
    node->kind = kind;
    node->children = std::move(children);
    Predicate predicate;
    predicate.m_node = std::move(node);
    return predicate;
}

Predicate Predicate::negation(Predicate child)
{
    auto node = std::make_shared<Node>();
    node->kind = Kind::Not;
    node->children = {std::move(child)};
    Predicate predicate;
    predicate.m_node = std::move(node);
    return predicate;
}

Predicate::Kind Predicate::kind() const
{
    return m_node ? m_node->kind : Kind::True;
}

Predicate::Operator Predicate::op() const
{
    return m_node ? m_node->op : Operator::Equal;
}

int Predicate::options() const
{
    return m_node ? m_node->options : 0;
}

const Predicate::Expression& Predicate::left() const
{
    return m_node ? m_node->left : emptyExpression();
}

const Predicate::Expression& Predicate::right() const
{
    return m_node ? m_node->right : emptyExpression();
}

const QList<Predicate>& Predicate::children() const
{
    static const QList<Predicate> none;
    return m_node ? m_node->children : none;
}

bool Predicate::matchFolded(Operator op, QStringView text, QStringView pattern)
{
    switch (op) {
    case Operator::Like:
        return likeMatches(text, pattern);
    case Operator::BeginsWith:
        return text.startsWith(pattern);
    case Operator::Contains:
        return text.contains(pattern);
    default:
        return false;
    }
}

bool Predicate::compareValues(Operator op, int options, const QVariant& a, const QVariant& b)
{
    return evaluateComparison(op, options, a, b);
}

bool Predicate::evaluate(const ManagedObject* object) const
{
    if (!m_node) {
        return true;
    }
    switch (m_node->kind) {
    case Kind::True:
        return true;
    case Kind::False:
        return false;
    case Kind::Not:
        return !m_node->children.value(0).evaluate(object);
    case Kind::And:
        for (const Predicate& child : m_node->children) {
            if (!child.evaluate(object)) {
                return false;
            }
        }
        return true;
    case Kind::Or:
        for (const Predicate& child : m_node->children) {
            if (child.evaluate(object)) {
                return true;
            }
        }
        return false;
    case Kind::Comparison:
        return evaluateComparison(m_node->op, m_node->options, evaluateExpression(m_node->left, object),
                                  evaluateExpression(m_node->right, object));
    }
    return false;
}

QString Predicate::toString() const
{
    if (!m_node) {
        return QStringLiteral("TRUEPREDICATE");
    }
    switch (m_node->kind) {
    case Kind::True:
        return QStringLiteral("TRUEPREDICATE");
    case Kind::False:
        return QStringLiteral("FALSEPREDICATE");
    case Kind::Not:
        return QStringLiteral("NOT (%1)").arg(m_node->children.value(0).toString());
    case Kind::And:
    case Kind::Or: {
        QStringList parts;
        for (const Predicate& child : m_node->children) {
            parts.append(u'(' + child.toString() + u')');
        }
        return parts.join(m_node->kind == Kind::And ? QStringLiteral(" AND ") : QStringLiteral(" OR "));
    }
    case Kind::Comparison:
        break;
    }
    QString modifier;
    if (m_node->options) {
        modifier = u'[' + QString((m_node->options & CaseInsensitive) ? QStringLiteral("c") : QString())
            + QString((m_node->options & DiacriticInsensitive) ? QStringLiteral("d") : QString()) + u']';
    }
    return expressionText(m_node->left) + u' ' + operatorText(m_node->op) + modifier + u' '
        + expressionText(m_node->right);
}

bool likeMatches(QStringView text, QStringView pattern)
{
    // Greedy wildcard matching that remembers the last '*' to retry from: O(n*m) at worst, with no
    // recursion however many stars the pattern has.
    qsizetype t = 0;
    qsizetype p = 0;
    qsizetype starPattern = -1;
    qsizetype starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || (pattern[p] != u'*' && pattern[p] == text[t]))) {
            ++t;
            ++p;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starPattern = p++;
            starText = t;
        } else if (starPattern >= 0) {
            p = starPattern + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') {
        ++p;
    }
    return p == pattern.size();
}

QString foldForComparison(const QString& text, int options)
{
    QString result = text;
    if (options & Predicate::DiacriticInsensitive) {
        const QString decomposed = result.normalized(QString::NormalizationForm_D);
        result.clear();
        result.reserve(decomposed.size());
        for (const QChar c : decomposed) {
            const auto category = c.category();
            if (category != QChar::Mark_NonSpacing && category != QChar::Mark_SpacingCombining
                && category != QChar::Mark_Enclosing) {
                result.append(c);
            }
        }
    }
    if (options & Predicate::CaseInsensitive) {
        result = result.toCaseFolded();
    }
    return result;
}

} // namespace Persistence
