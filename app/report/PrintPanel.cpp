#include "PrintPanel.h"

PrintPanel::~PrintPanel() = default;

PrintPanel::Result PrintPanel::printPages(const QString&, const PagePainter&, bool, QString* error)
{
    if (error) {
        *error = QStringLiteral("This printer cannot print pages.");
    }
    return Result::Failed;
}
