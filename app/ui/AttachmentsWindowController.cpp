#include "AttachmentsWindowController.h"

#include "QtPrintPanel.h"
#include "ScaledImageView.h"
#include "ZREmailHeaderBox.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "base/UserInterface.h"
#include "core/KeymoorAppDelegate.h"
#include "model/AttachedEmail.h"
#include "model/AttachmentEntity.h"
#include "persistence/ObjectContext.h"
#include "report/OfflineTextDocument.h"
#include "report/PicturePrinter.h"
#include "report/ZREmailPrintView.h"
#include "report/ZRTextPrintView.h"

#include <QAction>
#include <QImageReader>
#include <QLabel>
#include <QPdfDocument>
#include <QPdfView>
#include <QPlainTextEdit>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// Rendering a PDF page for the printer: at most this many pixels along its longer side, so a large
// page never needs hundreds of megabytes.
constexpr int MaximumRenderedSide = 4000;

QImage readImage(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    return reader.read();
}

} // namespace

AttachmentsWindowController::AttachmentsWindowController(KeymoorAppDelegate* delegate, QWidget* parent)
    : QMainWindow(parent, Qt::Window)
    , m_delegate(delegate)
{
    setObjectName(QStringLiteral("attachmentWindow"));
    resize(720, 640);
    QPalette background = palette();
    background.setColor(QPalette::Window, background.color(QPalette::Window).darker(108)); // light or dark
    setPalette(background);

    m_printAction = new QAction(localizedString(QStringLiteral("AttachmentWindowPrintMenuItem")), this);
    m_printAction->setShortcut(QKeySequence::Print);
    connect(m_printAction, &QAction::triggered, this, [this] { printShowingPrintPanel(true); });
    auto* closeAction = new QAction(localizedString(QStringLiteral("AttachmentWindowCloseMenuItem")), this);
    closeAction->setShortcut(QKeySequence::Close);
    connect(closeAction, &QAction::triggered, this, &QWidget::close);
    addAction(closeAction);
    QToolBar* toolbar = addToolBar(localizedString(QStringLiteral("AttachmentWindowToolbarTitle")));
    toolbar->setMovable(false);
    toolbar->addAction(m_printAction);

    m_holder = new QWidget(this);
    auto* layout = new QVBoxLayout(m_holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_header = new ZREmailHeaderBox(m_holder);
    m_header->setObjectName(QStringLiteral("emailHeader"));
    m_header->hide();
    layout->addWidget(m_header);
    setCentralWidget(m_holder);
}

AttachmentsWindowController::~AttachmentsWindowController() = default;

AttachmentEntity* AttachmentsWindowController::attachment() const
{
    Persistence::ObjectContext* context = m_delegate ? m_delegate->managedObjectContext() : nullptr;
    return context ? dynamic_cast<AttachmentEntity*>(context->registeredObject(m_objectID)) : nullptr;
}

bool AttachmentsWindowController::showWindowForObjectID(const Persistence::ObjectID& id)
{
    Persistence::ObjectContext* context = m_delegate ? m_delegate->managedObjectContext() : nullptr;
    auto* shown = context ? dynamic_cast<AttachmentEntity*>(context->registeredObject(id)) : nullptr;
    if (!shown) {
        Log::write(QStringLiteral("%1: Error, Not able to retrieve object.")
                       .arg(QLatin1String("AttachmentsWindowController::showWindowForObjectID")));
        return false;
    }
    m_objectID = id;
    setWindowTitle(shown->name());
    m_content = AttachmentViewContent::forAttachment(*shown);
    delete m_view;
    m_pdf.reset();
    const auto* email = dynamic_cast<const AttachedEmail*>(shown);
    if (email) {
        m_header->setEmail(*email);
    }
    m_header->setVisible(email != nullptr);
    m_view = specializedContentViewForFrame();
    m_view->setObjectName(QStringLiteral("specializedContentView"));
    m_holder->layout()->addWidget(m_view);
    m_printAction->setEnabled(shown->isPrintable());
    show();
    raise();
    activateWindow();
    return true;
}

QWidget* AttachmentsWindowController::specializedContentViewForFrame()
{
    switch (m_content.kind()) {
    case AttachmentViewContent::Kind::Html:
        return boundHtmlView(m_content.text());
    case AttachmentViewContent::Kind::WebArchive:
        return boundHtmlView(m_content.webArchive()->mainResourceText());
    case AttachmentViewContent::Kind::Pdf:
        return boundPDFView();
    case AttachmentViewContent::Kind::Image:
        return boundImageView();
    case AttachmentViewContent::Kind::Text:
        return boundTextView();
    case AttachmentViewContent::Kind::Icon:
        break;
    }
    return boundUnknownTypeView();
}

std::unique_ptr<OfflineTextDocument> AttachmentsWindowController::htmlDocument(const QString& html) const
{
    auto document = std::make_unique<OfflineTextDocument>();
    if (m_content.kind() == AttachmentViewContent::Kind::WebArchive) {
        const WebArchive archive = *m_content.webArchive();
        document->setBaseUrl(archive.mainResource().url);
        document->setResourceResolver([archive](const QUrl& url) { return archive.subresource(url); });
    } else {
        const QPointer<const AttachmentsWindowController> self(this);
        document->setResourceResolver([self](const QUrl& url) -> std::optional<QByteArray> {
            const AttachmentEntity* shown = self ? self->attachment() : nullptr;
            if (!shown || url.scheme() != u"cid") {
                return std::nullopt;
            }
            return AttachmentViewContent::inlineResource(*shown, url.path(QUrl::FullyDecoded));
        });
    }
    document->setHtml(html);
    return document;
}

QWidget* AttachmentsWindowController::boundHtmlView(const QString& html)
{
    auto* browser = new QTextBrowser(m_holder);
    browser->setOpenLinks(false);
    std::unique_ptr<OfflineTextDocument> document = htmlDocument(html);
    document->setParent(browser);
    browser->setDocument(document.release());
    // Links open in the person's browser or mail program, never inside the viewer.
    connect(browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (m_delegate && (url.scheme() == u"https" || url.scheme() == u"http" || url.scheme() == u"mailto")) {
            m_delegate->openStringAsURL(url.toString());
        }
    });
    return browser;
}

QWidget* AttachmentsWindowController::boundPDFView()
{
    m_pdf = std::make_unique<QPdfDocument>();
    if (m_pdf->load(m_content.filePath()) != QPdfDocument::Error::None) {
        Log::write(QStringLiteral("Unable to open the PDF document %1").arg(m_content.filePath()));
        m_pdf.reset();
        return boundUnknownTypeView();
    }
    auto* view = new QPdfView(m_holder);
    view->setDocument(m_pdf.get());
    view->setPageMode(QPdfView::PageMode::MultiPage);
    view->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    return view;
}

QWidget* AttachmentsWindowController::boundImageView()
{
    QImage image = readImage(m_content.filePath());
    if (image.isNull()) {
        return boundUnknownTypeView();
    }
    return new ScaledImageView(std::move(image), m_holder);
}

QWidget* AttachmentsWindowController::boundTextView()
{
    auto* view = new QPlainTextEdit(m_holder);
    view->setReadOnly(true);
    view->setPlainText(m_content.text());
    return view;
}

QWidget* AttachmentsWindowController::boundUnknownTypeView()
{
    auto* view = new QLabel(m_holder);
    view->setAlignment(Qt::AlignCenter);
    if (const AttachmentEntity* shown = attachment()) {
        view->setPixmap(shown->icon().pixmap(128, 128));
    }
    return view;
}

void AttachmentsWindowController::setPrintPanel(std::unique_ptr<PrintPanel> panel)
{
    m_printPanel = std::move(panel);
}

PrintPanel* AttachmentsWindowController::printPanel()
{
    if (!m_printPanel) {
        m_printPanel = std::make_unique<QtPrintPanel>(this);
    }
    return m_printPanel.get();
}

bool AttachmentsWindowController::printShowingPrintPanel(bool showPrintPanel)
{
    const AttachmentEntity* shown = attachment();
    if (!shown || !shown->isPrintable()) {
        return false;
    }
    PrintPanel* panel = printPanel();
    QString error;
    PrintPanel::Result result = PrintPanel::Result::Failed;
    if (m_content.kind() == AttachmentViewContent::Kind::Pdf && m_pdf) {
        QPdfDocument* pdf = m_pdf.get();
        const auto page = [pdf](int index, QSize area) {
            QSizeF size = pdf->pagePointSize(index);
            // A page turned to fit the paper is rendered for the turned area.
            if ((size.width() > size.height()) != (area.width() > area.height())) {
                area.transpose();
            }
            size.scale(QSizeF(area).boundedTo(QSizeF(MaximumRenderedSide, MaximumRenderedSide)), Qt::KeepAspectRatio);
            return pdf->render(index, size.toSize());
        };
        result = panel->printPages(
            shown->name(),
            [&](QPagedPaintDevice* device, QString* failure) {
                return PicturePrinter::print(device, pdf->pageCount(), page, {true, true}, failure);
            },
            showPrintPanel, &error);
    } else if (m_content.kind() == AttachmentViewContent::Kind::Image) {
        const QImage image = readImage(m_content.filePath());
        result = panel->printPages(
            shown->name(),
            [&](QPagedPaintDevice* device, QString* failure) {
                return PicturePrinter::print(
                    device, 1, [&image](int, QSize) { return image; }, {false, false}, failure);
            },
            showPrintPanel, &error);
    } else {
        std::unique_ptr<QTextDocument> document;
        if (m_content.kind() == AttachmentViewContent::Kind::WebArchive) {
            document = htmlDocument(m_content.webArchive()->mainResourceText());
        } else if (const auto* email = dynamic_cast<const AttachedEmail*>(shown)) {
            document = ZREmailPrintView::printableViewForEmailEntity(*email);
        } else {
            document = ZRTextPrintView::printableViewForAttachment(*shown);
        }
        document->setMetaInformation(QTextDocument::DocumentTitle, shown->name());
        result = panel->printDocument(*document, showPrintPanel, &error);
    }
    if (result == PrintPanel::Result::Failed) {
        Log::write(QStringLiteral("Error printing the attachment %1: %2").arg(shown->name(), error));
        if (m_delegate && m_delegate->userInterface()) {
            m_delegate->userInterface()->presentError(
                PresentableError {localizedString(QStringLiteral("AttachmentPrintFailed")), error, {}});
        }
    }
    return result == PrintPanel::Result::Printed;
}
