#include "QtPrintPanel.h"

#include "base/Localization.h"
#include "report/DocumentPrinter.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>

QtPrintPanel::QtPrintPanel(QWidget* window)
    : m_window(window)
    , m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{ }

QtPrintPanel::~QtPrintPanel() = default;

bool QtPrintPanel::choosePrinter(const QString& title, bool showPrintPanel)
{
    m_printer->setDocName(title);
    if (!showPrintPanel) {
        return true;
    }
    QPrintDialog dialog(m_printer.get(), m_window);
    dialog.setWindowTitle(localizedString(QStringLiteral("PrintDialogPrintTitle")));
    return dialog.exec() == QDialog::Accepted;
}

PrintPanel::Result QtPrintPanel::printDocument(QTextDocument& document, bool showPrintPanel, QString* error)
{
    if (!choosePrinter(document.metaInformation(QTextDocument::DocumentTitle), showPrintPanel)) {
        return Result::Cancelled;
    }
    return DocumentPrinter::print(document, m_printer.get(), error) ? Result::Printed : Result::Failed;
}

PrintPanel::Result QtPrintPanel::printPages(const QString& title, const PagePainter& paint, bool showPrintPanel,
                                            QString* error)
{
    if (!choosePrinter(title, showPrintPanel)) {
        return Result::Cancelled;
    }
    return paint(m_printer.get(), error) ? Result::Printed : Result::Failed;
}
