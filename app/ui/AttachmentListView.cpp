#include "AttachmentListView.h"

#include "AttachmentListModel.h"
#include "DroppedFiles.h"
#include "MainWindowCommandState.h"
#include "UndoNaming.h"
#include "ZRTableView.h"
#include "base/Localization.h"
#include "base/TextUtilities.h"
#include "core/KeymoorAppDelegate.h"
#include "model/AttachedEmail.h"
#include "model/AttachmentEntity.h"
#include "model/ProductEntity.h"
#include "model/ZRCacheFileManager.h"
#include "prefs/UserPreferences.h"

#include <QDragEnterEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

bool isRawMessage(const QString& text)
{
    return text.contains(QLatin1String("Subject:")) && text.contains(QLatin1String("From:"))
        && text.contains(QLatin1String("To:"));
}

} // namespace

AttachmentListView::AttachmentListView(KeymoorAppDelegate* delegate, QWidget* parent)
    : QWidget(parent)
    , m_delegate(delegate)
{
    setObjectName(QStringLiteral("attachmentsView"));
    m_model = new AttachmentListModel(delegate->userPrefs(), this);
    m_table = new ZRTableView(this);
    m_table->setObjectName(QStringLiteral("attachmentsTable"));
    m_table->setAccessibleName(localizedString(QStringLiteral("MainAttachmentsTab")));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setColumnWidth(AttachmentListModel::NameColumn, 300);
    m_table->setIconSize(QSize(24, 24));
    // Attachments are dragged out as copies; drops on the table go to this view, which decides on them.
    m_table->setDragEnabled(true);
    m_table->setDragDropMode(QAbstractItemView::DragOnly);
    m_table->setDefaultDropAction(Qt::CopyAction);
    m_table->setAcceptDrops(false);
    m_table->viewport()->setAcceptDrops(false);
    setAcceptDrops(true);

    connect(m_table, &ZRTableView::deleteKeyPressed, this, &AttachmentListView::removeSelected);
    m_table->setContextMenuFiller([this](QMenu* menu) {
        for (QPushButton* button : {m_open, m_export, m_scan, m_remove}) {
            QAction* item = menu->addAction(button->text(), button, &QPushButton::click);
            item->setEnabled(button->isEnabled());
        }
    });

    m_attach = new QPushButton(localizedString(QStringLiteral("AttachDocumentToolbarButton")), this);
    m_mail = new QPushButton(localizedString(QStringLiteral("AppleMailToolbarButton")), this);
    m_mail->setToolTip(localizedString(QStringLiteral("AppleMailToolbarButtonToolTip")));
    m_remove = new QPushButton(localizedString(QStringLiteral("DeleteAttachmentToolbarButton")), this);
    m_open = new QPushButton(localizedString(QStringLiteral("AttachmentsOpenButton")), this);
    m_open->setToolTip(localizedString(QStringLiteral("AttachmentsOpenButtonToolTip")));
    m_export = new QPushButton(localizedString(QStringLiteral("AttachmentsExportButton")), this);
    m_scan = new QPushButton(localizedString(QStringLiteral("AttachmentsScanEmailButton")), this);
    connect(m_attach, &QPushButton::clicked, this, &AttachmentListView::attachFiles);
    connect(m_mail, &QPushButton::clicked, this, &AttachmentListView::attachSelectedMail);
    connect(m_remove, &QPushButton::clicked, this, &AttachmentListView::removeSelected);
    connect(m_open, &QPushButton::clicked, this, &AttachmentListView::openSelected);
    connect(m_table, &QAbstractItemView::doubleClicked, this, &AttachmentListView::openSelected);
    connect(m_export, &QPushButton::clicked, this, &AttachmentListView::exportSelected);
    connect(m_scan, &QPushButton::clicked, this, &AttachmentListView::scanSelectedEmail);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &AttachmentListView::updateButtons);
    connect(m_model, &QAbstractItemModel::modelReset, this, &AttachmentListView::updateButtons);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {m_attach, m_mail, m_remove, m_open, m_export, m_scan}) {
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
    updateButtons();
}

AttachmentListView::~AttachmentListView() = default;

void AttachmentListView::setProduct(ProductEntity* product)
{
    m_model->setProduct(product);
}

void AttachmentListView::reload()
{
    const QList<AttachmentEntity*> selected = selectedAttachments();
    m_model->reload();
    for (AttachmentEntity* attachment : selected) {
        const int row = m_model->rowOf(attachment);
        if (row >= 0) {
            m_table->selectionModel()->select(m_model->index(row, 0),
                                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
}

bool AttachmentListView::selectAttachment(AttachmentEntity* attachment)
{
    int row = m_model->rowOf(attachment);
    if (row < 0) {
        m_model->reload();
        row = m_model->rowOf(attachment);
    }
    if (row < 0) {
        return false;
    }
    m_table->selectRow(row);
    m_table->scrollTo(m_model->index(row, 0));
    m_table->viewport()->update();
    return true;
}

QList<AttachmentEntity*> AttachmentListView::selectedAttachments() const
{
    QList<AttachmentEntity*> attachments;
    for (const QModelIndex& index : m_table->selectionModel()->selectedRows()) {
        if (AttachmentEntity* attachment = m_model->attachment(index.row())) {
            attachments.append(attachment);
        }
    }
    return attachments;
}

AttachmentListView::DropAction AttachmentListView::dropAction(const QMimeData* data, bool fromInsideApplication,
                                                              bool hasProduct)
{
    if (!data || fromInsideApplication || !hasProduct) {
        return DropAction::Refuse;
    }
    const QStringList files = droppedLocalFiles(data);
    const bool onlyMessageFiles = !files.isEmpty() && std::all_of(files.begin(), files.end(), &MailDrop::isEmlFile);
    if (!onlyMessageFiles && MailDrop::holdsMail(data)) {
        return DropAction::AttachMail;
    }
    if (data->hasUrls()) {
        if (files.isEmpty()) {
            return DropAction::Refuse;
        }
        for (const QString& file : files) {
            if (AttachmentEntity::unsupportedFilesArray().contains(QFileInfo(file).suffix())) {
                return DropAction::Refuse;
            }
        }
        return DropAction::AttachFiles;
    }
    if (data->hasImage()) {
        return DropAction::AttachImage;
    }
    if (data->hasText() && isRawMessage(data->text())) {
        return DropAction::AttachRawEmail;
    }
    return DropAction::Refuse;
}

bool AttachmentListView::acceptDrop(const QMimeData* data)
{
    if (!m_delegate) {
        return false;
    }
    switch (dropAction(data, false, m_model->product() != nullptr)) {
    case DropAction::AttachFiles:
        return m_delegate->attachDocumentsToSelectedProduct(droppedLocalFiles(data), true);
    case DropAction::AttachRawEmail:
        return m_delegate->attachEmailRawSourceToSelectedProduct(data->text(), true);
    case DropAction::AttachMail:
        emit mailDropped(MailDrop::read(data));
        return true;
    case DropAction::AttachImage: {
        const QString path = ZRCacheFileManager::defaultManager().cacheFileForImage(
            qvariant_cast<QImage>(data->imageData()), universallyUniuqueIdentifier());
        return !path.isEmpty() && m_delegate->attachDocumentsToSelectedProduct({path}, true);
    }
    case DropAction::Refuse:
        break;
    }
    return false;
}

void AttachmentListView::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void AttachmentListView::dragMoveEvent(QDragMoveEvent* event)
{
    if (dropAction(event->mimeData(), event->source() != nullptr, m_model->product() != nullptr)
        != DropAction::Refuse) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void AttachmentListView::dropEvent(QDropEvent* event)
{
    bool accepted = false;
    if (event->source() == nullptr && m_delegate) {
        UndoNaming::runNamed(m_delegate->managedObjectContext(), UndoNaming::attachFiles(),
                             [&] { accepted = acceptDrop(event->mimeData()); });
    }
    if (accepted) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void AttachmentListView::attachFiles()
{
    if (m_delegate) {
        UndoNaming::runNamed(m_delegate->managedObjectContext(), UndoNaming::attachFiles(),
                             [this] { m_delegate->attachExistingFile(); });
    }
}

void AttachmentListView::attachSelectedMail()
{
    if (!m_delegate) {
        return;
    }
    const UserPreferences& prefs = m_delegate->userPrefs();
    if (prefs.enableMicrosoftOutlook() && !prefs.enableAppleMail()) {
        m_delegate->attachSelectedEmailFromOutlook();
    } else {
        m_delegate->attachSelectedEmail();
    }
}

void AttachmentListView::removeSelected()
{
    if (!m_delegate) {
        return;
    }
    const QList<AttachmentEntity*> attachments = selectedAttachments();
    bool removed = false;
    UndoNaming::runNamed(m_delegate->managedObjectContext(), UndoNaming::removeAttachments(int(attachments.size())),
                         [&] { removed = m_delegate->removeAttachedFiles(attachments); });
    if (removed) {
        m_model->reload();
    }
}

void AttachmentListView::openSelected()
{
    const QList<AttachmentEntity*> selected = selectedAttachments();
    if (m_delegate && !selected.isEmpty()) {
        m_delegate->openAttachedFileWindow(selected.first());
    }
}

void AttachmentListView::exportSelected()
{
    if (m_delegate) {
        m_delegate->exportSelectedAttachments(selectedAttachments());
    }
}

void AttachmentListView::scanSelectedEmail()
{
    const QList<AttachmentEntity*> selected = selectedAttachments();
    auto* email = selected.size() == 1 ? dynamic_cast<AttachedEmail*>(selected.first()) : nullptr;
    if (m_delegate && email && m_delegate->scanEmailForRegistrationInfo(email)) {
        emit productChanged();
    }
}

MainWindowCommandState AttachmentListView::commandState() const
{
    const QList<ProductEntity*> products
        = m_model->product() ? QList<ProductEntity*> {m_model->product()} : QList<ProductEntity*>();
    MainWindowSelection selection = MainWindowCommandState::describe(products, selectedAttachments(), true, nullptr);
    selection.hasLibrary = m_delegate != nullptr;
    return MainWindowCommandState(selection);
}

void AttachmentListView::updateButtons()
{
    const MainWindowCommandState state = commandState();
    const std::pair<QPushButton*, MainWindowCommand> rules[] = {
        {m_attach, MainWindowCommand::AttachFile},        {m_mail, MainWindowCommand::ImportMail},
        {m_remove, MainWindowCommand::RemoveAttachment},  {m_open, MainWindowCommand::OpenAttachment},
        {m_export, MainWindowCommand::ExportAttachments}, {m_scan, MainWindowCommand::ScanEmail},
    };
    for (const auto& [button, command] : rules) {
        button->setEnabled(state.isEnabled(command));
    }
}
