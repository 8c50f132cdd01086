#pragma once

#include <QAbstractTableModel>
#include <QList>

class AttachmentEntity;
class ProductEntity;
class UserPreferences;

// The attached files of one product: name with its icon, and date, in the preferred attachment
// order ("Attachment Sort Key": name or date). Objects that left their context are dropped on reload.
class AttachmentListModel : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AttachmentListModel)

public:
    enum Column { NameColumn, DateColumn, ColumnCount };

    explicit AttachmentListModel(UserPreferences& prefs, QObject* parent = nullptr);
    ~AttachmentListModel() override;

    void setProduct(ProductEntity* product);
    ProductEntity* product() const { return m_product; }
    // Reads the product's attachments again.
    void reload();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Rows can be dragged out to other programs as copies of their stored files.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    // File URLs of copies in the cache folder of the rows' attachments; null (no drag) when none
    // could be offered.
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;

    AttachmentEntity* attachment(int row) const;
    int rowOf(const AttachmentEntity* attachment) const;

private:
    UserPreferences& m_prefs;
    ProductEntity* m_product = nullptr;
    QList<AttachmentEntity*> m_attachments;
};
