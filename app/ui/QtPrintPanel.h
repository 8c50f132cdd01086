#pragma once

#include "report/PrintPanel.h"

#include <QPointer>

#include <memory>

class QPrinter;
class QWidget;

// The print dialog of the window: asks for the printer and its settings (remembered for the next
// print while Keymoor runs), then prints the document on it.
class QtPrintPanel : public PrintPanel
{
public:
    explicit QtPrintPanel(QWidget* window);
    ~QtPrintPanel() override;

    Result printDocument(QTextDocument& document, bool showPrintPanel, QString* error) override;
    Result printPages(const QString& title, const PagePainter& paint, bool showPrintPanel, QString* error) override;

    QPrinter* printer() const { return m_printer.get(); }

private:
    // Asks for the printer and its settings when `showPrintPanel` is set; false when cancelled.
    bool choosePrinter(const QString& title, bool showPrintPanel);

    QPointer<QWidget> m_window;
    std::unique_ptr<QPrinter> m_printer;
};
