#pragma once

#include <QString>

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
};
