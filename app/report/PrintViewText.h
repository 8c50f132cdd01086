#pragma once

#include <QString>
#include <QTextCursor>

class QTextDocument;

// Builds the text of a print view: a header block of grey labels and values at 11 points, then a
// body of plain text or HTML. Every append goes into one batch of edits of the document, so the
// layout runs once when the builder ends.
class PrintViewText
{
public:
    static constexpr qreal FontPointSize = 11.0;

    explicit PrintViewText(QTextDocument* document);
    ~PrintViewText();
    PrintViewText(const PrintViewText&) = delete;
    PrintViewText& operator=(const PrintViewText&) = delete;

    void appendLabel(const QString& text);
    void appendValue(const QString& text);
    void appendEmphasizedValue(const QString& text);
    // Text without attributes of its own.
    void appendPlain(const QString& text);
    // HTML rendered into styled text; what it refers to is loaded only as the document allows.
    void appendHtml(const QString& html);

private:
    QTextCursor m_cursor;
};
