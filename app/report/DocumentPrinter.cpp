#include "DocumentPrinter.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QPageLayout>
#include <QPageRanges>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QScreen>
#include <QTextDocument>

#include <utility>

namespace {

constexpr qreal PointsPerInch = 72.0;

// The resolution the document's fonts and images are measured in when it is laid out without a
// device of its own: the screen's, as for text shown in a window.
qreal documentDpi()
{
    if (QCoreApplication::testAttribute(Qt::AA_Use96Dpi)) {
        return 96.0;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInchY()) : 96.0;
}

// Sets the margins on the device and lays the document out for its pages. Answers the page size
// in document units.
QSizeF layOut(QTextDocument& document, QPagedPaintDevice* device)
{
    QPageLayout layout = device->pageLayout();
    layout.setUnits(QPageLayout::Point);
    layout.setMode(QPageLayout::StandardMode);
    layout.setMargins(DocumentPrinter::reportMargins(layout.minimumMargins()));
    device->setPageLayout(layout);

    const QRectF paint = device->pageLayout().paintRect(QPageLayout::Point);
    const qreal toDocument = documentDpi() / PointsPerInch;
    const QSizeF page(paint.width() * toDocument, paint.height() * toDocument);
    document.setPageSize(page);
    // Fit to width: content that cannot wrap narrower than the page is scaled down, the page
    // growing in both directions so the proportions stay those of the paper.
    const qreal ideal = document.idealWidth();
    if (ideal > page.width() + 0.5) {
        document.setPageSize(page * (ideal / page.width()));
    }
    return document.pageSize();
}

QPageSize localPaperSize()
{
    const QLocale::Territory territory = QLocale::system().territory();
    const bool letter = territory == QLocale::UnitedStates || territory == QLocale::Canada;
    return QPageSize(letter ? QPageSize::Letter : QPageSize::A4);
}

} // namespace

QMarginsF DocumentPrinter::reportMargins(const QMarginsF& minimumMargins)
{
    return minimumMargins + QMarginsF(0, ExtraVerticalMargin, 0, ExtraVerticalMargin);
}

int DocumentPrinter::pageCount(QTextDocument& document, QPagedPaintDevice* device)
{
    layOut(document, device);
    return document.pageCount();
}

bool DocumentPrinter::print(QTextDocument& document, QPagedPaintDevice* device, QString* error)
{
    if (!device) {
        if (error) {
            *error = QStringLiteral("no printer");
        }
        return false;
    }
    // The document itself is laid out (not a copy): a copy would lose the document's own rules for
    // loading the images its HTML names.
    const QSizeF page = layOut(document, device);

    QPainter painter;
    if (!painter.begin(device)) {
        if (error) {
            *error = QStringLiteral("the printer could not be started");
        }
        return false;
    }
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    const qreal scale = qreal(device->width()) / page.width();
    painter.scale(scale, scale);

    // The pages chosen in the print dialog (all when none were chosen), counted from 1.
    const QPageRanges ranges = device->pageRanges();
    const int pages = document.pageCount();
    bool first = true;
    for (int index = 0; index < pages; ++index) {
        if (!ranges.isEmpty() && !ranges.contains(index + 1)) {
            continue;
        }
        if (!std::exchange(first, false) && !device->newPage()) {
            painter.end();
            if (error) {
                *error = QStringLiteral("a new page could not be started");
            }
            return false;
        }
        const QRectF view(0, index * page.height(), page.width(), page.height());
        painter.save();
        painter.translate(0, -view.top());
        painter.setClipRect(view);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = view;
        context.palette.setColor(QPalette::Text, Qt::black);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    if (!painter.end()) {
        if (error) {
            *error = QStringLiteral("the pages could not be finished");
        }
        return false;
    }
    return true;
}

bool DocumentPrinter::printToPdf(QTextDocument& document, const QString& path, QString* error)
{
    const bool existed = QFileInfo::exists(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Keymoor"));
        writer.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
        writer.setPageSize(localPaperSize());
        if (!print(document, &writer, error)) {
            file.cancelWriting();
            return false;
        }
    }
    // The report holds licence keys: a new file is readable by its owner only.
    if (!existed) {
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    if (!file.commit()) {
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    return true;
}
