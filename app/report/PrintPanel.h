#pragma once

#include <QString>

#include <functional>

class QPagedPaintDevice;
class QTextDocument;

// Where a document goes when the person prints: the window shows the print dialog and prints on
// the printer chosen there; tests print into a PDF file. Main thread only.
class PrintPanel
{
public:
    PrintPanel() = default;
    virtual ~PrintPanel();
    PrintPanel(const PrintPanel&) = delete;
    PrintPanel& operator=(const PrintPanel&) = delete;

    enum class Result { Printed, Cancelled, Failed };

    // Prints the document, after asking for the printer and its settings when `showPrintPanel` is
    // set. `error` tells why when the answer is Failed.
    virtual Result printDocument(QTextDocument& document, bool showPrintPanel, QString* error) = 0;

    // Paints pages onto the chosen printer: `paint` sets the page layout it needs, paints and
    // answers false (error filled) when it could not. The base panel prints no pages.
    using PagePainter = std::function<bool(QPagedPaintDevice* device, QString* error)>;
    virtual Result printPages(const QString& title, const PagePainter& paint, bool showPrintPanel, QString* error);
};
