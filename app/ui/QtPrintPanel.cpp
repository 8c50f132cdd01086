#include "QtPrintPanel.h"

#include "report/DocumentPrinter.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>

QtPrintPanel::QtPrintPanel(QWidget* window)
    : m_window(window)
    , m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{ }

QtPrintPanel::~QtPrintPanel() = default;

PrintPanel::Result QtPrintPanel::printDocument(QTextDocument& document, bool showPrintPanel, QString* error)
{
    m_printer->setDocName(document.metaInformation(QTextDocument::DocumentTitle));
    if (showPrintPanel) {
        QPrintDialog dialog(m_printer.get(), m_window);
        dialog.setWindowTitle(QObject::tr("Print"));
        if (dialog.exec() != QDialog::Accepted) {
            return Result::Cancelled;
        }
    }
    return DocumentPrinter::print(document, m_printer.get(), error) ? Result::Printed : Result::Failed;
}
