#include "AttachmentListModel.h"

#include "base/Localization.h"
#include "model/AttachmentEntity.h"
#include "model/ProductEntity.h"
#include "model/ZRCacheFileManager.h"
#include "prefs/UserPreferences.h"

#include <QMimeData>
#include <QUrl>

#include <algorithm>
#include <set>

AttachmentListModel::AttachmentListModel(UserPreferences& prefs, QObject* parent)
    : QAbstractTableModel(parent)
    , m_prefs(prefs)
{ }

AttachmentListModel::~AttachmentListModel() = default;

void AttachmentListModel::setProduct(ProductEntity* product)
{
    m_product = product;
    reload();
}

void AttachmentListModel::reload()
{
    beginResetModel();
    m_attachments.clear();
    if (m_product && m_product->isValid() && !m_product->isDeleted()) {
        for (AttachmentEntity* attachment : m_product->attachedFiles()) {
            if (attachment->isValid() && !attachment->isDeleted()) {
                m_attachments.append(attachment);
            }
        }
        const SortOrder order = m_prefs.attachmentSortDescriptorsArray();
        const bool byDate = !order.isEmpty() && order.first().key == u"date";
        const bool ascending = order.isEmpty() || order.first().ascending;
        std::stable_sort(m_attachments.begin(), m_attachments.end(),
                         [byDate, ascending](const AttachmentEntity* a, const AttachmentEntity* b) {
                             const int comparison = byDate
                                 ? (a->date() < b->date() ? -1 : (b->date() < a->date() ? 1 : 0))
                                 : a->name().compare(b->name(), Qt::CaseInsensitive);
                             return ascending ? comparison < 0 : comparison > 0;
                         });
    }
    endResetModel();
}

int AttachmentListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_attachments.size());
}

int AttachmentListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

Qt::ItemFlags AttachmentListModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid()) {
        flags |= Qt::ItemIsDragEnabled;
    }
    return flags;
}

QStringList AttachmentListModel::mimeTypes() const
{
    return {QStringLiteral("text/uri-list")};
}

QMimeData* AttachmentListModel::mimeData(const QModelIndexList& indexes) const
{
    std::set<int> rows;
    for (const QModelIndex& index : indexes) {
        if (index.isValid()) {
            rows.insert(index.row());
        }
    }
    QList<AttachmentEntity*> dragged;
    for (int row : rows) {
        if (AttachmentEntity* entry = attachment(row)) {
            dragged.append(entry);
        }
    }
    const std::optional<QStringList> copies
        = ZRCacheFileManager::defaultManager().copiesForDraggingAttachments(dragged);
    if (!copies || copies->isEmpty()) {
        return nullptr;
    }
    QList<QUrl> urls;
    for (const QString& path : *copies) {
        urls.append(QUrl::fromLocalFile(path));
    }
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}

Qt::DropActions AttachmentListModel::supportedDragActions() const
{
    return Qt::CopyAction;
}

QVariant AttachmentListModel::data(const QModelIndex& index, int role) const
{
    const AttachmentEntity* attachment = this->attachment(index.row());
    if (!attachment) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        return index.column() == NameColumn ? attachment->name() : attachment->formattedDateString();
    }
    if (role == Qt::DecorationRole && index.column() == NameColumn) {
        return attachment->icon();
    }
    return {};
}

QVariant AttachmentListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    return section == NameColumn ? localizedString(QStringLiteral("AttachmentListNameColumn"))
                                 : localizedString(QStringLiteral("AttachmentListDateColumn"));
}

AttachmentEntity* AttachmentListModel::attachment(int row) const
{
    return row >= 0 && row < m_attachments.size() ? m_attachments.at(row) : nullptr;
}

int AttachmentListModel::rowOf(const AttachmentEntity* attachment) const
{
    return int(m_attachments.indexOf(const_cast<AttachmentEntity*>(attachment)));
}
