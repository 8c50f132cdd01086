#pragma once

#include <QMarginsF>
#include <QString>

class QPagedPaintDevice;
class QTextDocument;

// Prints a text document onto the pages of a printer or PDF writer. The page margins follow the
// printable area of the paper (the device's minimum margins) plus 5 points at the top and the
// bottom; the content is laid out at the width between the margins and, should anything still be
// wider (a table that cannot shrink), scaled down until it fits that width. Pages are cut where
// the document's page breaks and the page height say; only the pages of the device's page ranges
// are printed when it has any. No page numbers or headers are added.
class DocumentPrinter
{
public:
    DocumentPrinter() = delete;

    // Points added to the top and the bottom margin.
    static constexpr qreal ExtraVerticalMargin = 5.0;

    // Margins in points for a device whose printable area leaves `minimumMargins` (points) unprinted.
    static QMarginsF reportMargins(const QMarginsF& minimumMargins);

    // Sets the margins on the device, lays the document out for its pages (it keeps that page size
    // afterwards) and paints every page. False (error filled) when the device cannot be painted on.
    // Main thread only.
    static bool print(QTextDocument& document, QPagedPaintDevice* device, QString* error = nullptr);

    // Prints into a PDF file, written atomically: the old file stays until the new one is complete.
    // The page size is the locale's usual paper (Letter in the United States and Canada, else A4).
    static bool printToPdf(QTextDocument& document, const QString& path, QString* error = nullptr);

    // Lays the document out for the device as print() does and answers its number of pages.
    static int pageCount(QTextDocument& document, QPagedPaintDevice* device);
};
