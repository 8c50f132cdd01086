#pragma once

class QLineEdit;
class QPlainTextEdit;
class QTextEdit;
class QWidget;

// The text field the clipboard commands act on, for whichever widget has the focus: a line edit,
// plain or rich text, or the line edit inside a spin, date or editable combo box. Empty (every
// answer false) for any other widget.
class FocusedTextField
{
public:
    explicit FocusedTextField(QWidget* focused);

    bool isTextField() const { return m_line || m_plain || m_rich; }
    bool hasSelection() const;
    bool isEditable() const;

    bool canCut() const { return hasSelection() && isEditable(); }
    bool canCopy() const { return hasSelection(); }
    // With text on the clipboard.
    bool canPaste() const;
    bool canSelectAll() const { return isTextField(); }

    void cut();
    void copy();
    void paste();
    void selectAll();

private:
    QLineEdit* m_line;
    QPlainTextEdit* m_plain;
    QTextEdit* m_rich;
};
