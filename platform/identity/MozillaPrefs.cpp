#include "MozillaPrefs.h"

namespace {

// Reads the statements one token at a time; every method answers false at the first thing that
// does not fit and leaves `error` saying what was expected.
class PrefsScanner
{
public:
    explicit PrefsScanner(const QString& text)
        : m_text(text)
    { }

    bool atEnd()
    {
        skipSpaceAndComments();
        return m_position >= m_text.size();
    }

    bool statement(QString* name, QVariant* value)
    {
        const QString function = identifier();
        if (function != QLatin1String("user_pref") && function != QLatin1String("pref")
            && function != QLatin1String("sticky_pref")) {
            return fail("user_pref");
        }
        return expect('(') && quoted(name) && expect(',') && literal(value) && expect(')') && expect(';');
    }

    QString error() const { return QStringLiteral("%1 expected at offset %2").arg(m_expected).arg(m_position); }

private:
    QChar peek() const { return m_position < m_text.size() ? m_text.at(m_position) : QChar(); }

    bool fail(const QString& expected)
    {
        m_expected = expected;
        return false;
    }
    bool fail(const char* expected) { return fail(QString::fromLatin1(expected)); }

    void skipSpaceAndComments()
    {
        while (m_position < m_text.size()) {
            const QChar c = m_text.at(m_position);
            if (c.isSpace()) {
                ++m_position;
            } else if (m_text.mid(m_position, 2) == QLatin1String("//") || c == QLatin1Char('#')) {
                const qsizetype end = m_text.indexOf(QLatin1Char('\n'), m_position);
                m_position = end < 0 ? m_text.size() : end + 1;
            } else if (m_text.mid(m_position, 2) == QLatin1String("/*")) {
                const qsizetype end = m_text.indexOf(QLatin1String("*/"), m_position + 2);
                m_position = end < 0 ? m_text.size() : end + 2;
            } else {
                return;
            }
        }
    }

    QString identifier()
    {
        skipSpaceAndComments();
        const qsizetype start = m_position;
        while (peek().isLetterOrNumber() || peek() == QLatin1Char('_')) {
            ++m_position;
        }
        return m_text.mid(start, m_position - start);
    }

    bool expect(char c)
    {
        skipSpaceAndComments();
        if (peek() != QLatin1Char(c)) {
            return fail(QStringLiteral("\"%1\"").arg(QLatin1Char(c)));
        }
        ++m_position;
        return true;
    }

    bool quoted(QString* text)
    {
        skipSpaceAndComments();
        const QChar quote = peek();
        if (quote != QLatin1Char('"') && quote != QLatin1Char('\'')) {
            return fail("a quoted string");
        }
        ++m_position;
        text->clear();
        while (m_position < m_text.size()) {
            const QChar c = m_text.at(m_position++);
            if (c == quote) {
                return true;
            }
            if (c == QLatin1Char('\n')) {
                break;
            }
            if (c != QLatin1Char('\\')) {
                text->append(c);
            } else if (!escape(text)) {
                return false;
            }
        }
        return fail("the end of the string");
    }

    bool escape(QString* text)
    {
        const QChar c = peek();
        ++m_position;
        switch (c.unicode()) {
        case 'n':
            text->append(QLatin1Char('\n'));
            return true;
        case 't':
            text->append(QLatin1Char('\t'));
            return true;
        case 'r':
            text->append(QLatin1Char('\r'));
            return true;
        case 'x':
            return hexadecimal(2, text);
        case 'u':
            return hexadecimal(4, text);
        default:
            if (c.isNull()) {
                return fail("an escaped character");
            }
            text->append(c);
            return true;
        }
    }

    bool hexadecimal(int digits, QString* text)
    {
        bool ok = false;
        const uint code = m_text.mid(m_position, digits).toUInt(&ok, 16);
        if (!ok || m_position + digits > m_text.size()) {
            return fail("hexadecimal digits");
        }
        m_position += digits;
        text->append(QChar(char16_t(code)));
        return true;
    }

    bool literal(QVariant* value)
    {
        skipSpaceAndComments();
        if (peek() == QLatin1Char('"') || peek() == QLatin1Char('\'')) {
            QString text;
            if (!quoted(&text)) {
                return false;
            }
            *value = text;
            return true;
        }
        const qsizetype start = m_position;
        if (peek() == QLatin1Char('-') || peek() == QLatin1Char('+')) {
            ++m_position;
        }
        QString word = m_text.mid(start, m_position - start);
        word += identifier();
        bool isNumber = false;
        const qlonglong number = word.toLongLong(&isNumber);
        if (isNumber) {
            *value = number;
        } else if (word == QLatin1String("true") || word == QLatin1String("false")) {
            *value = word == QLatin1String("true");
        } else {
            return fail("a string, number or boolean");
        }
        return true;
    }

    const QString& m_text;
    qsizetype m_position = 0;
    QString m_expected;
};

} // namespace

std::optional<MozillaPrefs> MozillaPrefs::parse(const QString& text, QString* problem)
{
    MozillaPrefs prefs;
    PrefsScanner scanner(text);
    while (!scanner.atEnd()) {
        QString name;
        QVariant value;
        if (!scanner.statement(&name, &value)) {
            *problem = scanner.error();
            return std::nullopt;
        }
        if (!prefs.m_values.contains(name)) {
            prefs.m_names.append(name);
        }
        prefs.m_values.insert(name, value);
    }
    return prefs;
}
