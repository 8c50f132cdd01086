#pragma once

#include "Predicate.h"

namespace Persistence {

// Recursive-descent parser of predicate format strings (grammar in Predicate.h). Nesting is
// bounded so a hostile string cannot exhaust the stack.
class PredicateParser
{
public:
    PredicateParser(const QString& format, const QVariantList& arguments);

    std::optional<Predicate> parse(QString* error);

private:
    enum class TokenType { End, Identifier, String, Integer, Real, Symbol, Format };
    struct Token
    {
        TokenType type = TokenType::End;
        QString text;
        QVariant value;
        qsizetype position = 0;
    };

    bool tokenize();
    bool readString(qsizetype& i, Token& token);
    bool readNumber(qsizetype& i, Token& token);

    const Token& peek() const { return m_tokens[size_t(m_next)]; }
    Token take() { return m_tokens[size_t(m_next < qsizetype(m_tokens.size()) - 1 ? m_next++ : m_next)]; }
    bool isKeyword(const char* keyword) const;
    bool isSymbol(const char* symbol) const;
    bool fail(const QString& message);

    std::optional<Predicate> parseOr(int depth);
    std::optional<Predicate> parseAnd(int depth);
    std::optional<Predicate> parseNot(int depth);
    std::optional<Predicate> parsePrimary(int depth);
    std::optional<Predicate> parseComparison();
    std::optional<Predicate::Expression> parseExpression();
    std::optional<Predicate::Operator> parseOperator();
    int parseOptions();
    std::optional<QVariant> nextArgument();

    QString m_format;
    QVariantList m_arguments;
    qsizetype m_argumentIndex = 0;
    std::vector<Token> m_tokens;
    qsizetype m_next = 0;
    QString m_error;
};

} // namespace Persistence
