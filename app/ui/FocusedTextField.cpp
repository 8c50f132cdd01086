#include "FocusedTextField.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

// Spin and date boxes keep the focus themselves; their text is in a line edit inside.
QLineEdit* innerLineEdit(QWidget* widget)
{
    if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        return line;
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        return combo->lineEdit();
    }
    if (qobject_cast<QAbstractSpinBox*>(widget)) {
        return widget->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
    }
    return nullptr;
}

bool clipboardHasText()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasText() && !data->text().isEmpty();
}

} // namespace

FocusedTextField::FocusedTextField(QWidget* focused)
    : m_line(innerLineEdit(focused))
    , m_plain(qobject_cast<QPlainTextEdit*>(focused))
    , m_rich(qobject_cast<QTextEdit*>(focused))
{
    // The viewport of a text edit may hold the focus for a moment; the edit is meant.
    if (!isTextField() && focused && focused->parentWidget()) {
        m_plain = qobject_cast<QPlainTextEdit*>(focused->parentWidget());
        m_rich = qobject_cast<QTextEdit*>(focused->parentWidget());
    }
}

bool FocusedTextField::hasSelection() const
{
    if (m_line) {
        return m_line->hasSelectedText();
    }
    if (m_plain) {
        return m_plain->textCursor().hasSelection();
    }
    return m_rich && m_rich->textCursor().hasSelection();
}

bool FocusedTextField::isEditable() const
{
    if (m_line) {
        return !m_line->isReadOnly() && m_line->isEnabled();
    }
    if (m_plain) {
        return !m_plain->isReadOnly() && m_plain->isEnabled();
    }
    return m_rich && !m_rich->isReadOnly() && m_rich->isEnabled();
}

bool FocusedTextField::canPaste() const
{
    return isEditable() && clipboardHasText();
}

void FocusedTextField::cut()
{
    if (!canCut()) {
        return;
    }
    if (m_line) {
        m_line->cut();
    } else if (m_plain) {
        m_plain->cut();
    } else {
        m_rich->cut();
    }
}

void FocusedTextField::copy()
{
    if (m_line) {
        m_line->copy();
    } else if (m_plain) {
        m_plain->copy();
    } else if (m_rich) {
        m_rich->copy();
    }
}

void FocusedTextField::paste()
{
    if (!isEditable()) {
        return;
    }
    if (m_line) {
        m_line->paste();
    } else if (m_plain) {
        m_plain->paste();
    } else {
        m_rich->paste();
    }
}

void FocusedTextField::selectAll()
{
    if (m_line) {
        m_line->selectAll();
    } else if (m_plain) {
        m_plain->selectAll();
    } else if (m_rich) {
        m_rich->selectAll();
    }
}
