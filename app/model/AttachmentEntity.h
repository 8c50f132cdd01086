#pragma once

#include "ZRManagedObject.h"

#include <QIcon>

#include <optional>

class ProductEntity;
class ZRAttachmentContent;

namespace Persistence {
class ObjectContext;
}

// One file attached to a product ("AttachedFile"). Its bytes live in the linked "AttachmentContent"
// (a file named by a UUID in the library's Attachments folder), fixed once attached.
class AttachmentEntity : public ZRManagedObject
{
public:
    // A visible-text file larger than this is not shown or printed as text.
    static constexpr qint64 MaximumVisibleTextSize = 10000000;

    static const QStringList& emailArchiveExtensions();
    static const QStringList& visibleTextExtensions();
    // Extensions that are never attached (application bundles).
    static const QStringList& unsupportedFilesArray();

    // A new attached file holding a copy of the file at `path`, named after its last component and
    // dated by its creation (else modification) date; null after a log line when it cannot be stored.
    static AttachmentEntity* insertAttachmentForFile(const QString& path, Persistence::ObjectContext* context);

    QString name() const { return stringValue(QStringLiteral("name")); }
    bool setName(const QString& name) { return setValue(QStringLiteral("name"), name); }
    QDateTime date() const { return dateValue(QStringLiteral("date")); }
    bool setDate(const QDateTime& date) { return setValue(QStringLiteral("date"), date); }

    ProductEntity* product() const;
    bool setProduct(ProductEntity* product);
    ZRAttachmentContent* content() const;
    bool setContent(ZRAttachmentContent* content);

    // Makes the content record (locking this object's context while it inserts) and copies the
    // file, respectively writes the bytes, into storage. False when nothing was stored.
    bool insertNewAttachmentContentForFile(const QString& path);
    bool insertNewAttachmentContentWithData(const QByteArray& bytes);

    // Copies an attached file of any model version; bytes kept in the record by older versions
    // ("content") are moved into a stored file.
    bool copyFromManagedObject(Persistence::ManagedObject* source, ReferenceMap& reference) override;

    // The extension of `name` ("" when there is none).
    QString nameExtension() const;
    virtual bool isEmail() const;
    bool isVisibleText() const;
    bool isText() const { return isVisibleText(); }
    bool isPDF() const;
    bool isImage() const;
    bool isPrintable() const;

    // The image of the list row, made on first use and kept: the desktop's icon for the file type,
    // or the "missing" image when the stored file is gone.
    QIcon icon() const;
    // `date` in the person's locale: long date and medium time; empty without a date.
    QString formattedDateString() const;
    // The caption of the name field.
    virtual QString nameLabel() const;

    // The stored bytes read as text; nothing when they cannot be read or are not UTF-8.
    virtual std::optional<QString> contentString() const;
    // The path of the stored file, or empty when there is none.
    QString contentPath() const;
    // Size of the stored file in bytes; 0 when it cannot be read.
    qint64 contentSize() const;

    // The name of an exported copy: `name` made usable as one file name.
    virtual QString exportFileName() const;
    // Copies the stored file into the folder under `exportFileName`, made unique. Answers the written path,
    // or empty after a log line when nothing was written.
    QString exportToFolder(const QString& folder) const;
    // Copies the stored file into the cache folder as "<product title>-<parent>-<name>", for
    // content an HTML e-mail refers to. Empty without a parent name or when the copy failed.
    QString exportAsResourceToCacheForParent(const QString& parentName) const;

    // `name` made usable as one file name: path separators and NUL replaced, never empty, "." or "..".
    static QString safeFileName(const QString& name);

protected:
    // Views bind plain attached files to keys of e-mails too: unknown keys answer null quietly.
    QVariant valueForUndefinedKey(const QString& key) const override;
    virtual QIcon makeIcon() const;
    bool storedFileExists() const;
    // The bytes of the stored file; nothing without a content record or when it cannot be read.
    std::optional<QByteArray> storedContentData() const;

private:
    // A new content record linked to this attached file, inserted under the context's lock; null
    // after a log line when it could not be made.
    ZRAttachmentContent* insertNewContent();

    mutable std::optional<QIcon> m_icon;
};
