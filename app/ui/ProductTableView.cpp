#include "ProductTableView.h"

#include "DroppedFiles.h"
#include "import/KMImportProductsOperation.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

namespace {

bool isCatalogueFile(const QString& path)
{
    const QString extension = QFileInfo(path).suffix();
    return extension.compare(QLatin1String("keymoor"), Qt::CaseInsensitive) == 0
        || extension.compare(QLatin1String("appshelf"), Qt::CaseInsensitive) == 0;
}

} // namespace

ProductTableView::ProductTableView(QWidget* parent)
    : ZRTableView(parent)
{
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    setTabKeyNavigation(false); // Tab leaves the list instead of walking its cells
}

ProductTableView::~ProductTableView() = default;

void ProductTableView::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier && selectedRow() >= 0) {
        emit openRequested();
        event->accept();
        return;
    }
    ZRTableView::keyPressEvent(event);
}

namespace {

bool isImportDrop(const QMimeData* data)
{
    const QStringList paths = droppedLocalFiles(data);
    if (paths.isEmpty()) {
        return false;
    }
    const QString& first = paths.first();
    return isCatalogueFile(first) || KMImportProductsOperation::isApp(first);
}

} // namespace

bool ProductTableView::acceptsDrop(const QMimeData* data)
{
    return isImportDrop(data) || MailDrop::holdsMail(data);
}

bool ProductTableView::acceptDrop(const QMimeData* data)
{
    if (isImportDrop(data)) {
        emit filesDropped(droppedLocalFiles(data));
        return true;
    }
    if (MailDrop::holdsMail(data)) {
        emit mailDropped(MailDrop::read(data));
        return true;
    }
    return false;
}

void ProductTableView::dragEnterEvent(QDragEnterEvent* event)
{
    // Attachments dragged out of Keymoor's own lists are for other programs, not for import.
    m_dragAccepted = isEnabled() && event->source() == nullptr && acceptsDrop(event->mimeData());
    if (m_dragAccepted) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void ProductTableView::dragMoveEvent(QDragMoveEvent* event)
{
    if (m_dragAccepted) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void ProductTableView::dragLeaveEvent(QDragLeaveEvent* event)
{
    m_dragAccepted = false;
    event->accept();
}

void ProductTableView::dropEvent(QDropEvent* event)
{
    const bool taken = m_dragAccepted && acceptDrop(event->mimeData());
    m_dragAccepted = false;
    if (taken) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}
