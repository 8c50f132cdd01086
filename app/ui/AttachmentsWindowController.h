#pragma once

#include "persistence/ObjectID.h"
#include "report/AttachmentViewContent.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class AttachmentEntity;
class KeymoorAppDelegate;
class OfflineTextDocument;
class PrintPanel;
class QAction;
class QPdfDocument;
class ZREmailHeaderBox;

// The viewer window of one attached file: an e-mail as its HTML (never loading anything from
// outside; parts of the message named by "cid:" come from the product's attachments) or as its
// text, a PDF document, an image, a text file, a saved web page, or else the file's icon. It prints
// what it shows.
class AttachmentsWindowController : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AttachmentsWindowController)

public:
    explicit AttachmentsWindowController(KeymoorAppDelegate* delegate, QWidget* parent = nullptr);
    ~AttachmentsWindowController() override;

    // Shows the attached file, which must be registered in the controller's main context, and brings
    // the window to the front. False (logged, window not shown) when it is not there.
    bool showWindowForObjectID(const Persistence::ObjectID& id);

    // Prints what the window shows, asking for the printer first when `showPrintPanel` is set.
    // False when nothing printable is shown, printing was cancelled or failed (the failure shown).
    bool printShowingPrintPanel(bool showPrintPanel);
    // Where prints go; the window's print dialog unless a test sets another.
    void setPrintPanel(std::unique_ptr<PrintPanel> panel);

    AttachmentEntity* attachment() const;
    AttachmentViewContent::Kind kind() const { return m_content.kind(); }

private:
    QWidget* specializedContentViewForFrame();
    QWidget* boundHtmlView(const QString& html);
    QWidget* boundPDFView();
    QWidget* boundImageView();
    QWidget* boundTextView();
    QWidget* boundUnknownTypeView();
    // A document of the shown HTML that loads only what the attachment itself provides.
    std::unique_ptr<OfflineTextDocument> htmlDocument(const QString& html) const;

    PrintPanel* printPanel();

    QPointer<KeymoorAppDelegate> m_delegate;
    Persistence::ObjectID m_objectID;
    AttachmentViewContent m_content;
    QWidget* m_holder = nullptr;
    QWidget* m_view = nullptr; // "specializedContentView": the view of the shown attachment
    ZREmailHeaderBox* m_header = nullptr; // "emailHeader": shown above a message only
    QAction* m_printAction = nullptr;
    std::unique_ptr<QPdfDocument> m_pdf;
    std::unique_ptr<PrintPanel> m_printPanel;
};
