#pragma once

#include "ZRManagedObject.h"
#include "persistence/Decimal.h"

#include <optional>

class AttachmentEntity;
class IconEntity;

// One purchased software product ("Product").
class ProductEntity : public ZRManagedObject
{
public:
    QString uuid() const { return stringValue(QStringLiteral("uuid")); }
    QString title() const { return stringValue(QStringLiteral("title")); }
    bool setTitle(const QString& title) { return setValue(QStringLiteral("title"), title); }
    QString productVersion() const { return stringValue(QStringLiteral("productVersion")); }
    bool setProductVersion(const QString& version) { return setValue(QStringLiteral("productVersion"), version); }
    QString serialNumber() const { return stringValue(QStringLiteral("serialNumber")); }
    bool setSerialNumber(const QString& serial) { return setValue(QStringLiteral("serialNumber"), serial); }
    QString registeredName() const { return stringValue(QStringLiteral("registeredName")); }
    bool setRegisteredName(const QString& name) { return setValue(QStringLiteral("registeredName"), name); }
    QString registeredEmail() const { return stringValue(QStringLiteral("registeredEmail")); }
    bool setRegisteredEmail(const QString& email) { return setValue(QStringLiteral("registeredEmail"), email); }
    QString registeredCompany() const { return stringValue(QStringLiteral("registeredCompany")); }
    bool setRegisteredCompany(const QString& company) { return setValue(QStringLiteral("registeredCompany"), company); }
    QString publisher() const { return stringValue(QStringLiteral("publisher")); }
    bool setPublisher(const QString& publisher) { return setValue(QStringLiteral("publisher"), publisher); }
    QString productWebsite() const { return stringValue(QStringLiteral("productWebsite")); }
    bool setProductWebsite(const QString& url) { return setValue(QStringLiteral("productWebsite"), url); }
    QString productEmail() const { return stringValue(QStringLiteral("productEmail")); }
    bool setProductEmail(const QString& email) { return setValue(QStringLiteral("productEmail"), email); }
    QDateTime purchaseDate() const { return dateValue(QStringLiteral("purchaseDate")); }
    bool setPurchaseDate(const QDateTime& date) { return setValue(QStringLiteral("purchaseDate"), date); }
    std::optional<Persistence::Decimal> purchasePrice() const;
    bool setPurchasePrice(const std::optional<Persistence::Decimal>& price);
    QString purchaseCurrency() const { return stringValue(QStringLiteral("purchaseCurrency")); }
    bool setPurchaseCurrency(const QString& currency) { return setValue(QStringLiteral("purchaseCurrency"), currency); }
    QString purchaseOrderNumber() const { return stringValue(QStringLiteral("purchaseOrderNumber")); }
    bool setPurchaseOrderNumber(const QString& number)
    {
        return setValue(QStringLiteral("purchaseOrderNumber"), number);
    }
    // The notes as stored: UTF-8 text, or rich-text data in records of older versions.
    QByteArray comments() const { return value(QStringLiteral("comments")).toByteArray(); }
    bool setComments(const QByteArray& comments) { return setValue(QStringLiteral("comments"), comments); }
    QString bundleIdentifier() const { return stringValue(QStringLiteral("bundleIdentifier")); }
    bool setBundleIdentifier(const QString& identifier)
    {
        return setValue(QStringLiteral("bundleIdentifier"), identifier);
    }

    QList<AttachmentEntity*> attachedFiles() const;
    bool addAttachedFile(AttachmentEntity* file);
    bool removeAttachedFile(AttachmentEntity* file);
    // Attaches a copy of the file (an e-mail attachment when the e-mail file test says so) under the
    // lock of this product's context; null for an empty path or when the file cannot be stored.
    AttachmentEntity* attachDocument(const QString& path);
    // attachDocument for each path in order; the attachments made. Nothing is saved here.
    QList<AttachmentEntity*> attachDocuments(const QStringList& paths);
    IconEntity* appIcon() const;
    bool setAppIcon(IconEntity* icon);
    // Copies a product of any model version; image bytes kept in the record by older versions
    // ("icon") become an icon file with its record (ProductEntityMigration.cpp).
    bool copyFromManagedObject(Persistence::ManagedObject* source, ReferenceMap& reference) override;
    // "commentsString" (the notes as plain text) besides the stored key paths.
    QVariant exportValueForKeyPath(const QString& keyPath) const override;
    // Stores image bytes of an older record as this product's icon file; false when they are no image.
    bool storeMigratedIcon(const QByteArray& imageBytes);

protected:
    // A new product gets a UUID and is bought now (title and currency come from the model).
    void awakeFromInsert() override;
};
