#include "ZRDelimitedTextParsing.h"

namespace {

class RowScanner
{
public:
    RowScanner(const QString& text, const QString& recordDelimiter, const QString& fieldDelimiter, const QString& quote)
        : m_text(text)
        , m_record(recordDelimiter)
        , m_field(fieldDelimiter)
        , m_quote(quote)
    { }

    DelimitedRows scan()
    {
        skipLeadingBlankLines();
        bool pending = false;
        do {
            skipBlanks();
            m_row.append(startsWith(m_quote) ? quotedField() : plainField());
            if (startsWith(m_field)) {
                m_pos += m_field.size();
                pending = true;
            } else {
                pending = false;
                if (atEnd()) {
                    closeRow();
                } else if (startsWith(m_record)) {
                    m_pos += m_record.size();
                    closeRow();
                }
            }
        } while (!atEnd());
        if (pending) {
            m_row.append(std::nullopt);
            closeRow();
        }
        return m_rows;
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    bool startsWith(const QString& part) const
    {
        return !part.isEmpty() && QStringView(m_text).mid(m_pos).startsWith(part);
    }
    bool atDelimiter() const { return startsWith(m_field) || startsWith(m_record); }

    static bool isBlank(QChar c) { return c == u'\t' || c.category() == QChar::Separator_Space; }

    // Blank space and line breaks before the first row; a leading field delimiter stays, so an
    // empty first column keeps its place.
    void skipLeadingBlankLines()
    {
        while (!atEnd() && m_text.at(m_pos).isSpace() && !startsWith(m_field)) {
            ++m_pos;
        }
    }

    void skipBlanks()
    {
        while (!atEnd() && isBlank(m_text.at(m_pos)) && !atDelimiter()) {
            ++m_pos;
        }
    }

    DelimitedField quotedField()
    {
        m_pos += m_quote.size();
        qsizetype end = m_text.indexOf(m_quote, m_pos);
        if (end < 0) {
            end = m_text.size();
        }
        DelimitedField field;
        if (end > m_pos) {
            field = m_text.mid(m_pos, end - m_pos);
        }
        m_pos = end;
        if (startsWith(m_quote)) {
            m_pos += m_quote.size();
        }
        return field;
    }

    DelimitedField plainField()
    {
        const qsizetype start = m_pos;
        while (!atEnd() && !atDelimiter()) {
            ++m_pos;
        }
        if (m_pos == start) {
            return std::nullopt;
        }
        return m_text.mid(start, m_pos - start);
    }

    void closeRow()
    {
        if (!m_row.isEmpty()) {
            m_rows.append(m_row);
        }
        m_row.clear();
    }

    const QString& m_text;
    const QString m_record;
    const QString m_field;
    const QString m_quote;
    qsizetype m_pos = 0;
    DelimitedRow m_row;
    DelimitedRows m_rows;
};

} // namespace

DelimitedRows scannedRowsWithRecordDelimter(const QString& text, const QString& recordDelimiter,
                                            const QString& fieldDelimiter, const QString& quote)
{
    return RowScanner(text, recordDelimiter, fieldDelimiter, quote).scan();
}
