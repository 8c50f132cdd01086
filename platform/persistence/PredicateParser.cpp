#include "PredicateParser.h"

namespace Persistence {

namespace {

constexpr int MaximumDepth = 64;

bool isIdentifierStart(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'$' || c == u'#';
}

bool isIdentifierPart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

} // namespace

std::optional<Predicate> Predicate::fromFormat(const QString& format, const QVariantList& arguments, QString* error)
{
    return PredicateParser(format, arguments).parse(error);
}

PredicateParser::PredicateParser(const QString& format, const QVariantList& arguments)
    : m_format(format)
    , m_arguments(arguments)
{ }

std::optional<Predicate> PredicateParser::parse(QString* error)
{
    std::optional<Predicate> result;
    if (tokenize()) {
        if (peek().type == TokenType::End) {
            fail(QStringLiteral("empty predicate"));
        } else {
            result = parseOr(0);
            if (result && peek().type != TokenType::End) {
                result.reset();
                fail(QStringLiteral("unexpected \"%1\"").arg(peek().text));
            }
            if (result && m_argumentIndex != m_arguments.size()) {
                result.reset();
                fail(QStringLiteral("%1 arguments given for %2 format specifiers")
                         .arg(m_arguments.size())
                         .arg(m_argumentIndex));
            }
        }
    }
    if (!result && error) {
        *error = QStringLiteral("Unable to parse the predicate \"%1\": %2").arg(m_format, m_error);
    }
    return result;
}

bool PredicateParser::fail(const QString& message)
{
    if (m_error.isEmpty()) {
        const qsizetype position = m_next < qsizetype(m_tokens.size()) ? peek().position : m_format.size();
        m_error = QStringLiteral("%1 at offset %2").arg(message).arg(position);
    }
    return false;
}

bool PredicateParser::tokenize()
{
    static const char* const symbols[]
        = {"==", "!=", "<>", "<=", ">=", "=<", "=>", "&&", "||", "=", "<", ">", "!", "(", ")", "[", "]"};
    qsizetype i = 0;
    const qsizetype size = m_format.size();
    while (true) {
        while (i < size && m_format[i].isSpace()) {
            ++i;
        }
        Token token;
        token.position = i;
        if (i >= size) {
            m_tokens.push_back(token);
            return true;
        }
        const QChar c = m_format[i];
        if (c == u'"' || c == u'\'') {
            if (!readString(i, token)) {
                return false;
            }
        } else if (c.isDigit() || (c == u'-' && i + 1 < size && m_format[i + 1].isDigit())) {
            if (!readNumber(i, token)) {
                return false;
            }
        } else if (isIdentifierStart(c)) {
            const qsizetype start = i++;
            while (i < size && (isIdentifierPart(m_format[i]) || m_format[i] == u'.')) {
                ++i;
            }
            token.type = TokenType::Identifier;
            token.text = m_format.mid(start, i - start);
        } else if (c == u'%') {
            const qsizetype start = i++;
            while (i < size && m_format[i] == u'l') {
                ++i;
            }
            if (i >= size) {
                m_next = qsizetype(m_tokens.size());
                return fail(QStringLiteral("incomplete format specifier"));
            }
            token.type = TokenType::Format;
            token.text = m_format.mid(start, i - start + 1);
            ++i;
        } else {
            for (const char* symbol : symbols) {
                const QLatin1String text(symbol);
                if (QStringView(m_format).mid(i).startsWith(text)) {
                    token.type = TokenType::Symbol;
                    token.text = text;
                    i += text.size();
                    break;
                }
            }
            if (token.type != TokenType::Symbol) {
                m_tokens.push_back(token);
                m_next = qsizetype(m_tokens.size()) - 1;
                return fail(QStringLiteral("unexpected character '%1'").arg(c));
            }
        }
        m_tokens.push_back(token);
    }
}

bool PredicateParser::readString(qsizetype& i, Token& token)
{
    const QChar quote = m_format[i++];
    QString text;
    while (i < m_format.size() && m_format[i] != quote) {
        QChar c = m_format[i++];
        if (c == u'\\' && i < m_format.size()) {
            c = m_format[i++];
            if (c == u'n') {
                c = u'\n';
            } else if (c == u't') {
                c = u'\t';
            }
        }
        text.append(c);
    }
    if (i >= m_format.size()) {
        m_tokens.push_back(token);
        m_next = qsizetype(m_tokens.size()) - 1;
        return fail(QStringLiteral("unterminated string"));
    }
    ++i;
    token.type = TokenType::String;
    token.text = text;
    token.value = text;
    return true;
}

bool PredicateParser::readNumber(qsizetype& i, Token& token)
{
    const qsizetype start = i++;
    while (i < m_format.size() && (m_format[i].isDigit() || m_format[i] == u'.')) {
        ++i;
    }
    token.text = m_format.mid(start, i - start);
    bool ok = false;
    if (token.text.contains(u'.')) {
        token.type = TokenType::Real;
        token.value = token.text.toDouble(&ok);
    } else {
        token.type = TokenType::Integer;
        token.value = token.text.toLongLong(&ok);
    }
    if (!ok) {
        m_tokens.push_back(token);
        m_next = qsizetype(m_tokens.size()) - 1;
        return fail(QStringLiteral("invalid number \"%1\"").arg(token.text));
    }
    return true;
}

bool PredicateParser::isKeyword(const char* keyword) const
{
    return peek().type == TokenType::Identifier
        && peek().text.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
}

bool PredicateParser::isSymbol(const char* symbol) const
{
    return peek().type == TokenType::Symbol && peek().text == QLatin1String(symbol);
}

std::optional<Predicate> PredicateParser::parseOr(int depth)
{
    auto first = parseAnd(depth);
    if (!first) {
        return std::nullopt;
    }
    QList<Predicate> parts {*first};
    while (isKeyword("OR") || isSymbol("||")) {
        take();
        auto next = parseAnd(depth);
        if (!next) {
            return std::nullopt;
        }
        parts.append(*next);
    }
    return parts.size() == 1 ? parts.first() : Predicate::conjunction(Predicate::Kind::Or, parts);
}

std::optional<Predicate> PredicateParser::parseAnd(int depth)
{
    auto first = parseNot(depth);
    if (!first) {
        return std::nullopt;
    }
    QList<Predicate> parts {*first};
    while (isKeyword("AND") || isSymbol("&&")) {
        take();
        auto next = parseNot(depth);
        if (!next) {
            return std::nullopt;
        }
        parts.append(*next);
    }
    return parts.size() == 1 ? parts.first() : Predicate::conjunction(Predicate::Kind::And, parts);
}

std::optional<Predicate> PredicateParser::parseNot(int depth)
{
    if (depth > MaximumDepth) {
        fail(QStringLiteral("nested too deeply"));
        return std::nullopt;
    }
    if (isKeyword("NOT") || isSymbol("!")) {
        take();
        auto inner = parseNot(depth + 1);
        return inner ? std::optional<Predicate>(Predicate::negation(*inner)) : std::nullopt;
    }
    return parsePrimary(depth);
}

std::optional<Predicate> PredicateParser::parsePrimary(int depth)
{
    if (isSymbol("(")) {
        take();
        auto inner = parseOr(depth + 1);
        if (!inner) {
            return std::nullopt;
        }
        if (!isSymbol(")")) {
            fail(QStringLiteral("expected \")\""));
            return std::nullopt;
        }
        take();
        return inner;
    }
    if (isKeyword("TRUEPREDICATE") || isKeyword("FALSEPREDICATE")) {
        return Predicate::constant(take().text.compare(QLatin1String("TRUEPREDICATE"), Qt::CaseInsensitive) == 0);
    }
    return parseComparison();
}

std::optional<Predicate> PredicateParser::parseComparison()
{
    auto left = parseExpression();
    if (!left) {
        return std::nullopt;
    }
    const auto op = parseOperator();
    if (!op) {
        return std::nullopt;
    }
    const int options = parseOptions();
    if (options < 0) {
        return std::nullopt;
    }
    auto right = parseExpression();
    if (!right) {
        return std::nullopt;
    }
    return Predicate::comparison(std::move(*left), *op, std::move(*right), options);
}

std::optional<QVariant> PredicateParser::nextArgument()
{
    if (m_argumentIndex >= m_arguments.size()) {
        fail(QStringLiteral("too few arguments"));
        return std::nullopt;
    }
    return m_arguments.at(m_argumentIndex++);
}

std::optional<Predicate::Expression> PredicateParser::parseExpression()
{
    using Kind = Predicate::Expression::Kind;
    const Token& token = peek();
    Predicate::Expression expression;
    switch (token.type) {
    case TokenType::String:
    case TokenType::Integer:
    case TokenType::Real:
        expression.constant = take().value;
        return expression;
    case TokenType::Format: {
        const QString specifier = take().text;
        const auto argument = nextArgument();
        if (!argument) {
            return std::nullopt;
        }
        const QChar conversion = specifier.back();
        if (conversion == u'K') {
            if (argument->metaType().id() != QMetaType::QString || argument->toString().isEmpty()) {
                fail(QStringLiteral("%K needs a key path string"));
                return std::nullopt;
            }
            expression.kind = Kind::KeyPath;
            expression.keyPath = argument->toString().split(u'.');
        } else if (conversion == u'@') {
            expression.constant = *argument;
        } else if (conversion == u'd' || conversion == u'i' || conversion == u'u') {
            expression.constant = argument->toLongLong();
        } else if (conversion == u'f') {
            expression.constant = argument->toDouble();
        } else {
            fail(QStringLiteral("unsupported format specifier \"%1\"").arg(specifier));
            return std::nullopt;
        }
        return expression;
    }
    case TokenType::Identifier:
        break;
    default:
        fail(QStringLiteral("expected a key path or a value"));
        return std::nullopt;
    }
    const QString word = take().text;
    const auto is
        = [&word](const char* keyword) { return word.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0; };
    if (is("SELF")) {
        expression.kind = Kind::Self;
    } else if (is("nil") || is("NULL")) {
        expression.constant = QVariant();
    } else if (is("TRUE") || is("YES")) {
        expression.constant = true;
    } else if (is("FALSE") || is("NO")) {
        expression.constant = false;
    } else {
        QString path = word;
        if (path.startsWith(u'#')) {
            path.remove(0, 1); // '#' lets a key be named like a keyword
        }
        const QStringList components = path.split(u'.');
        for (const QString& component : components) {
            if (component.isEmpty() || !isIdentifierStart(component.front())) {
                fail(QStringLiteral("invalid key path \"%1\"").arg(word));
                return std::nullopt;
            }
        }
        expression.kind = Kind::KeyPath;
        expression.keyPath = components;
    }
    return expression;
}

std::optional<Predicate::Operator> PredicateParser::parseOperator()
{
    using Op = Predicate::Operator;
    static const struct
    {
        const char* text;
        Op op;
    } symbols[] = {{"==", Op::Equal},         {"=", Op::Equal},   {"!=", Op::NotEqual},
                   {"<>", Op::NotEqual},      {"<", Op::Less},    {"<=", Op::LessOrEqual},
                   {"=<", Op::LessOrEqual},   {">", Op::Greater}, {">=", Op::GreaterOrEqual},
                   {"=>", Op::GreaterOrEqual}};
    static const struct
    {
        const char* text;
        Op op;
    } words[] = {{"LIKE", Op::Like}, {"BEGINSWITH", Op::BeginsWith}, {"CONTAINS", Op::Contains}};
    for (const auto& entry : symbols) {
        if (isSymbol(entry.text)) {
            take();
            return entry.op;
        }
    }
    for (const auto& entry : words) {
        if (isKeyword(entry.text)) {
            take();
            return entry.op;
        }
    }
    fail(QStringLiteral("expected an operator"));
    return std::nullopt;
}

int PredicateParser::parseOptions()
{
    if (!isSymbol("[")) {
        return 0;
    }
    take();
    int options = 0;
    if (peek().type == TokenType::Identifier) {
        for (const QChar c : take().text) {
            if (c == u'c' || c == u'C') {
                options |= Predicate::CaseInsensitive;
            } else if (c == u'd' || c == u'D') {
                options |= Predicate::DiacriticInsensitive;
            } else {
                fail(QStringLiteral("unknown option '%1'").arg(c));
                return -1;
            }
        }
    }
    if (!isSymbol("]")) {
        fail(QStringLiteral("expected \"]\""));
        return -1;
    }
    take();
    return options;
}

} // namespace Persistence
