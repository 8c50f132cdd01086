#include "PrintViewText.h"

#include <QColor>
#include <QTextCharFormat>
#include <QTextDocument>

namespace {

QTextCharFormat format(bool bold, const QColor& colour = QColor())
{
    QTextCharFormat result;
    result.setFontPointSize(PrintViewText::FontPointSize);
    if (bold) {
        result.setFontWeight(QFont::Bold);
    }
    if (colour.isValid()) {
        result.setForeground(colour);
    }
    return result;
}

} // namespace

PrintViewText::PrintViewText(QTextDocument* document)
    : m_cursor(document)
{
    m_cursor.movePosition(QTextCursor::End);
    m_cursor.beginEditBlock();
}

PrintViewText::~PrintViewText()
{
    m_cursor.endEditBlock();
}

void PrintViewText::appendLabel(const QString& text)
{
    m_cursor.insertText(text, format(false, QColor(Qt::gray)));
}

void PrintViewText::appendValue(const QString& text)
{
    m_cursor.insertText(text, format(false));
}

void PrintViewText::appendEmphasizedValue(const QString& text)
{
    m_cursor.insertText(text, format(true));
}

void PrintViewText::appendPlain(const QString& text)
{
    m_cursor.insertText(text, QTextCharFormat());
}

void PrintViewText::appendHtml(const QString& html)
{
    m_cursor.insertHtml(html);
}
