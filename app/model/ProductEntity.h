#pragma once

#include "ZRManagedObject.h"
#include "persistence/Decimal.h"

#include <QDate>
#include <QLocale>
#include <QStringList>

#include <optional>

class ApplicationLocator;
class QImage;
class AttachmentEntity;
class IconEntity;
struct ProductBundleInfo;

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

    // The licence's life. Every field is optional; dates are calendar dates (kept at noon UTC so
    // they read back as the same day in every time zone).
    QString licenseType() const { return stringValue(QStringLiteral("licenseType")); }
    bool setLicenseType(const QString& type) { return setValue(QStringLiteral("licenseType"), type); }
    QDate expiryDate() const { return calendarDate(QStringLiteral("expiryDate")); }
    bool setExpiryDate(const QDate& date) { return setCalendarDate(QStringLiteral("expiryDate"), date); }
    QDate renewalDate() const { return calendarDate(QStringLiteral("renewalDate")); }
    bool setRenewalDate(const QDate& date) { return setCalendarDate(QStringLiteral("renewalDate"), date); }
    std::optional<int> renewalPeriodMonths() const { return optionalInt(QStringLiteral("renewalPeriodMonths")); }
    bool setRenewalPeriodMonths(std::optional<int> months)
    {
        return setOptionalInt(QStringLiteral("renewalPeriodMonths"), months);
    }
    std::optional<Persistence::Decimal> renewalPrice() const;
    bool setRenewalPrice(const std::optional<Persistence::Decimal>& price);
    std::optional<int> seats() const { return optionalInt(QStringLiteral("seats")); }
    bool setSeats(std::optional<int> seats) { return setOptionalInt(QStringLiteral("seats"), seats); }
    std::optional<int> remindDaysBefore() const { return optionalInt(QStringLiteral("remindDaysBefore")); }
    bool setRemindDaysBefore(std::optional<int> days)
    {
        return setOptionalInt(QStringLiteral("remindDaysBefore"), days);
    }
    // The days before a due date that a reminder starts: the product's own, else 30.
    int effectiveRemindDaysBefore() const { return remindDaysBefore().value_or(DefaultRemindDaysBefore); }
    bool isArchived() const { return value(QStringLiteral("archived")).toBool(); }
    bool setArchived(bool archived) { return setValue(QStringLiteral("archived"), archived); }
    static constexpr int DefaultRemindDaysBefore = 30;
    // The texts of `licenseType`; empty means not stated.
    static const QStringList LicenseTypes; // perpetual, subscription, trial, free

    // The notes as text: UTF-8 bytes as they are; bytes that are an RTF document (notes of older
    // versions) or no UTF-8 at all through oldStyleCommentString(). Null when there are no notes.
    QString commentsString() const;
    // Stores the text as UTF-8 (an empty text removes the notes), so old rich-text notes become
    // plain text with their first edit. One undoable change: undo brings the previous bytes back.
    bool setCommentsString(const QString& text);
    // The plain text of rich-text notes (RTF, or a flattened RTFD package); notes in no known form
    // are read as Windows-1252 text. Null (with log lines) when rich text cannot be read.
    QString oldStyleCommentString() const;

    // Sets the purchase date from a date as people write it ("2009-03-04", "March 4, 2009",
    // "4 Mar 2009 10:20", "03/04/2009" in the locale's order, e-mail dates ...). Text that is no date
    // changes nothing; answers whether the date was set.
    bool setPurchaseDateString(const QString& text, const QLocale& locale = QLocale());

    // The title from a bundle path: its last component without the extension.
    bool setTitleFromAppPath(const QString& path);
    // Title, version and bundle identifier from the application at the path (a bundle, a desktop
    // file or an AppImage) or of the desktop-file ID; fields the application does not name keep
    // their values, and a path that is no application changes nothing. Answers whether the path
    // was an application.
    bool setBasicBundleInfoFromAppPath(const QString& path);
    // The basic information and the publisher, support e-mail and website the application gives.
    bool setBundleInfoFromAppPath(const QString& path);
    // Every field the information names; the others keep their values.
    void setBundleInfo(const ProductBundleInfo& info);

    // The bytes of the icon file (a 512 x 512 TIFF image); null when the product has no icon or its
    // file is missing.
    QByteArray externalIcon() const;
    // Replaces the icon with the image of the bytes, or with the generic application icon for null
    // bytes. The new icon's file is written first and the old icon is deleted only once that
    // worked, so bytes that are no image, or a file that cannot be written, leave the old icon.
    // Answers whether the icon was replaced.
    bool setExternalIcon(const QByteArray& imageBytes);
    bool setExternalIconImage(const QImage& image);
    // Replaces the icon with the image of a file, or, when the file is no image, with the icon of
    // the application (bundle, desktop entry, AppImage) or document at the path.
    bool setExternalIconFromAppPath(const QString& path);

    // Whether the product's application can be found: never for Keymoor's own record; else by the
    // bundle identifier, then by the title.
    bool isLaunchable(ApplicationLocator& locator) const;
    // The installed application of this product, found by the bundle identifier, then by the
    // title; empty when neither finds one.
    QString installedApplicationPath(ApplicationLocator& locator) const;

    // Keys whose values change when `key` changes: a change of the version shows in the title (the
    // list shows both), of the currency in the currency's formatter, of the stored notes in
    // "commentsString", of the icon record in "externalIcon".
    static QStringList keysAffectedBy(const QString& key);

    // "commentsString", "externalIcon" (read only) and "purchaseDateString" (write only) as keys
    // too, for generic callers such as imports and the command line.
    QVariant value(const QString& key) const override;
    bool setValue(const QString& key, const QVariant& value) override;

    // Writes one imported field (ProductEntityImport.cpp). Nothing happens for the key "Don't
    // Import", for no value, or for the text "missing value" (any case); every occurrence of a
    // non-empty `quote` is removed first. A price is read with the formatter of the product's
    // current currency (text that is no price clears it), a date as written text ("purchaseDate"
    // goes through setPurchaseDateString), the notes as text; other keys are stored as text.
    void importValue(const std::optional<QString>& value, const QString& key, const QString& quote = QString());
    // The key of a column that is not imported.
    static const QString DontImportKey; // "Don't Import"

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
    // A new product gets a UUID, the currency "$", the purchase date now and, when the person wants
    // it, the registration details of their own address-book card (the title comes from the model).
    void awakeFromInsert() override;

private:
    QDate calendarDate(const QString& key) const;
    bool setCalendarDate(const QString& key, const QDate& date);
    std::optional<int> optionalInt(const QString& key) const;
    bool setOptionalInt(const QString& key, std::optional<int> value);
    void updateBundleInfo(const ProductBundleInfo& info, bool withContacts);
};
