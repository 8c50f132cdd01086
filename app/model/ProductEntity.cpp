#include "ProductEntity.h"

#include "AttachedEmail.h"
#include "AttachmentEntity.h"
#include "IconEntity.h"
#include "ProductBundleInfo.h"
#include "ProductIconImage.h"
#include "RegistrationAutofill.h"
#include "base/AppInfo.h"
#include "base/Log.h"
#include "desktop/ApplicationLocator.h"
#include "desktop/DesktopIcons.h"
#include "email/ZREmailParser.h"
#include "persistence/EntityDescription.h"
#include "persistence/ObjectContext.h"
#include "text/DateParser.h"
#include "text/RtfReader.h"
#include "text/TextDecoder.h"

#include <QFileInfo>
#include <QImage>
#include <QStringDecoder>
#include <QTimeZone>

namespace {

const QString CommentsKey = QStringLiteral("comments");
const QString CommentsStringKey = QStringLiteral("commentsString");
const QString PurchaseDateStringKey = QStringLiteral("purchaseDateString");

// Notes count as rich text only when the bytes are an RTF document or a flattened RTFD package:
// plain notes that merely quote "{\rtf1" are the person's text and stay as they are.
bool isOldStyleComment(const QByteArray& bytes)
{
    return RtfReader::isRichText(bytes) || bytes.startsWith("rtfd");
}

} // namespace

std::optional<Persistence::Decimal> ProductEntity::purchasePrice() const
{
    const QVariant price = value(QStringLiteral("purchasePrice"));
    if (price.metaType() != QMetaType::fromType<Persistence::Decimal>()) {
        return std::nullopt;
    }
    return price.value<Persistence::Decimal>();
}

bool ProductEntity::setPurchasePrice(const std::optional<Persistence::Decimal>& price)
{
    return setValue(QStringLiteral("purchasePrice"), price ? QVariant::fromValue(*price) : QVariant());
}

const QStringList ProductEntity::LicenseTypes
    = {QStringLiteral("perpetual"), QStringLiteral("subscription"), QStringLiteral("trial"), QStringLiteral("free")};

std::optional<Persistence::Decimal> ProductEntity::renewalPrice() const
{
    const QVariant price = value(QStringLiteral("renewalPrice"));
    if (price.metaType() != QMetaType::fromType<Persistence::Decimal>()) {
        return std::nullopt;
    }
    return price.value<Persistence::Decimal>();
}

bool ProductEntity::setRenewalPrice(const std::optional<Persistence::Decimal>& price)
{
    return setValue(QStringLiteral("renewalPrice"), price ? QVariant::fromValue(*price) : QVariant());
}

QDate ProductEntity::calendarDate(const QString& key) const
{
    const QDateTime stored = dateValue(key);
    return stored.isValid() ? stored.toUTC().date() : QDate();
}

bool ProductEntity::setCalendarDate(const QString& key, const QDate& date)
{
    return setValue(key, date.isValid() ? QVariant(QDateTime(date, QTime(12, 0), QTimeZone::utc())) : QVariant());
}

std::optional<int> ProductEntity::optionalInt(const QString& key) const
{
    const QVariant stored = value(key);
    bool ok = false;
    const int number = stored.toInt(&ok);
    return stored.isValid() && !stored.isNull() && ok ? std::optional<int>(number) : std::nullopt;
}

bool ProductEntity::setOptionalInt(const QString& key, std::optional<int> number)
{
    return setValue(key, number ? QVariant(qint64(*number)) : QVariant());
}

QList<AttachmentEntity*> ProductEntity::attachedFiles() const
{
    QList<AttachmentEntity*> files;
    for (Persistence::ManagedObject* object : toMany(QStringLiteral("attachedFiles"))) {
        if (auto* file = dynamic_cast<AttachmentEntity*>(object)) {
            files.append(file);
        }
    }
    return files;
}

bool ProductEntity::addAttachedFile(AttachmentEntity* file)
{
    return addToMany(QStringLiteral("attachedFiles"), file);
}

bool ProductEntity::removeAttachedFile(AttachmentEntity* file)
{
    return removeFromMany(QStringLiteral("attachedFiles"), file);
}

IconEntity* ProductEntity::appIcon() const
{
    return dynamic_cast<IconEntity*>(toOne(QStringLiteral("appIcon")));
}

bool ProductEntity::setAppIcon(IconEntity* icon)
{
    return setToOne(QStringLiteral("appIcon"), icon);
}

void ProductEntity::awakeFromInsert()
{
    ZRManagedObject::awakeFromInsert();
    // Older models may lack these; each name is looked up once.
    if (const int uuid = entity()->propertyIndex(QStringLiteral("uuid")); uuid >= 0) {
        setPrimitiveValue(uuid, newUUIDString());
    }
    if (const int currency = entity()->propertyIndex(QStringLiteral("purchaseCurrency")); currency >= 0) {
        setPrimitiveValue(currency, QStringLiteral("$"));
    }
    setPrimitiveValue(QStringLiteral("purchaseDate"), QDateTime::currentDateTimeUtc());
    RegistrationAutofill::applyDefaults(*this);
}

QString ProductEntity::commentsString() const
{
    const QByteArray bytes = comments();
    if (bytes.isNull()) {
        return {};
    }
    if (isOldStyleComment(bytes)) {
        return oldStyleCommentString();
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        return oldStyleCommentString();
    }
    return text;
}

QString ProductEntity::oldStyleCommentString() const
{
    const QByteArray bytes = comments();
    if (bytes.isNull()) {
        return {};
    }
    if (!isOldStyleComment(bytes)) {
        // Old notes that are neither UTF-8 nor rich text: shown as the most common single-byte text
        // rather than lost.
        return TextDecoder::forCodePage(1252).decode(bytes);
    }
    RtfReader reader;
    const std::optional<QString> text = reader.readData(bytes);
    if (!text) {
        Log::write(
            QStringLiteral("ProductEntity::oldStyleCommentString: could not create NSAttributedString from data."));
        Log::write(QStringLiteral("Error converting comments to NSAttributedString: %1").arg(reader.errorString()));
        return {};
    }
    return *text;
}

bool ProductEntity::setCommentsString(const QString& text)
{
    const QByteArray bytes = text.isEmpty() ? QByteArray() : text.toUtf8();
    const QByteArray old = comments();
    if (bytes == old && bytes.isNull() == old.isNull()) {
        return true;
    }
    return setValue(CommentsKey, bytes.isNull() ? QVariant() : QVariant(bytes));
}

bool ProductEntity::setPurchaseDateString(const QString& text, const QLocale& locale)
{
    if (text.isNull()) {
        return false;
    }
    const std::optional<QDateTime> date = DateParser(locale).parse(text);
    return date && setPurchaseDate(*date);
}

bool ProductEntity::setTitleFromAppPath(const QString& path)
{
    const QString title = ProductBundleInfo::titleFromPath(path);
    return !title.isEmpty() && setTitle(title);
}

bool ProductEntity::setBasicBundleInfoFromAppPath(const QString& path)
{
    const std::optional<ProductBundleInfo> info = ProductBundleInfo::fromApplication(path);
    if (!info) {
        return false;
    }
    updateBundleInfo(*info, false);
    return true;
}

bool ProductEntity::setBundleInfoFromAppPath(const QString& path)
{
    const std::optional<ProductBundleInfo> info = ProductBundleInfo::fromApplication(path);
    if (!info) {
        return false;
    }
    updateBundleInfo(*info, true);
    return true;
}

void ProductEntity::setBundleInfo(const ProductBundleInfo& info)
{
    updateBundleInfo(info, true);
}

void ProductEntity::updateBundleInfo(const ProductBundleInfo& info, bool withContacts)
{
    const auto update = [this](const QString& key, const QString& text) {
        if (!text.isEmpty() && stringValue(key) != text) {
            setValue(key, text);
        }
    };
    update(QStringLiteral("title"), info.title);
    update(QStringLiteral("productVersion"), info.version);
    update(QStringLiteral("bundleIdentifier"), info.identifier);
    if (withContacts) {
        update(QStringLiteral("publisher"), info.publisher);
        update(QStringLiteral("productEmail"), info.email);
        update(QStringLiteral("productWebsite"), info.website);
    }
}

QByteArray ProductEntity::externalIcon() const
{
    const IconEntity* icon = appIcon();
    if (!icon) {
        return {};
    }
    const QString path = icon->filePath();
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        return {};
    }
    return icon->contentData();
}

bool ProductEntity::setExternalIcon(const QByteArray& imageBytes)
{
    if (imageBytes.isNull()) {
        return setExternalIconImage(DesktopIcons::genericApplicationIcon(ProductIconImage::Size));
    }
    const QImage image = ProductIconImage::imageFromData(imageBytes);
    if (image.isNull()) {
        Log::write(QStringLiteral("Error: the icon data is no image; the icon of %1 is kept.").arg(title()));
        return false;
    }
    return setExternalIconImage(image);
}

bool ProductEntity::setExternalIconImage(const QImage& image)
{
    const QByteArray tiff = ProductIconImage::tiffData(ProductIconImage::iconImage(image));
    if (tiff.isEmpty()) {
        Log::write(QStringLiteral("Error: the icon of %1 could not be made into TIFF data.").arg(title()));
        return false;
    }
    Persistence::ObjectContext* objectContext = context();
    if (!objectContext) {
        return false;
    }
    Persistence::ContextLocker locker(objectContext);
    auto* icon = objectContext->insert<IconEntity>(QStringLiteral("Icon"));
    if (!icon) {
        Log::write(QStringLiteral("Error creating new Icon object!"));
        return false;
    }
    QString error;
    if (!icon->writeContentData(tiff, &error)) {
        Log::write(QStringLiteral("Error saving icon as TIFF data to path:%1 error:%2").arg(icon->filePath(), error));
        objectContext->deleteObject(icon);
        return false;
    }
    if (IconEntity* old = appIcon()) {
        objectContext->deleteObject(old);
    }
    setAppIcon(icon);
    return true;
}

bool ProductEntity::setExternalIconFromAppPath(const QString& path)
{
    const QImage image = ProductIconImage::imageForPath(path);
    if (image.isNull()) {
        Log::write(QStringLiteral("Error: there is no file at %1 to take an icon from.").arg(path));
        return false;
    }
    return setExternalIconImage(image);
}

bool ProductEntity::isLaunchable(ApplicationLocator& locator) const
{
    if (title() == AppInfo::executableName()) {
        return false;
    }
    return !installedApplicationPath(locator).isEmpty();
}

QString ProductEntity::installedApplicationPath(ApplicationLocator& locator) const
{
    QString path;
    if (!bundleIdentifier().isEmpty()) {
        path = locator.pathForBundleIdentifier(bundleIdentifier());
    }
    if (path.isEmpty() && !title().isEmpty()) {
        path = locator.pathForApplication(title());
    }
    return path;
}

QStringList ProductEntity::keysAffectedBy(const QString& key)
{
    if (key == u"productVersion") {
        return {QStringLiteral("title")};
    }
    if (key == u"purchaseCurrency") {
        return {QStringLiteral("currencyFormatter")};
    }
    if (key == CommentsKey) {
        return {CommentsStringKey};
    }
    if (key == u"appIcon") {
        return {QStringLiteral("externalIcon")};
    }
    return {};
}

QVariant ProductEntity::value(const QString& key) const
{
    if (!hasProperty(key)) {
        if (key == CommentsStringKey) {
            const QString text = commentsString();
            return text.isNull() ? QVariant() : QVariant(text);
        }
        if (key == u"externalIcon") {
            const QByteArray bytes = externalIcon();
            return bytes.isNull() ? QVariant() : QVariant(bytes);
        }
    }
    return ZRManagedObject::value(key);
}

bool ProductEntity::setValue(const QString& key, const QVariant& value)
{
    if (key == CommentsStringKey && !hasProperty(key)) {
        return setCommentsString(value.toString());
    }
    if (key == PurchaseDateStringKey && !hasProperty(key)) {
        return setPurchaseDateString(value.toString());
    }
    return ZRManagedObject::setValue(key, value);
}

AttachmentEntity* ProductEntity::attachDocument(const QString& path)
{
    // "''" is the empty file-type marker that heads lists of promised files; it names no file.
    if (path.isEmpty() || QFileInfo(path).fileName() == u"''") {
        return nullptr;
    }
    Persistence::ContextLocker locker(context());
    AttachmentEntity* attachment = ZREmailParser::isEmailArchive(path)
        ? AttachedEmail::insertAttachmentForFile(path, context())
        : AttachmentEntity::insertAttachmentForFile(path, context());
    if (attachment) {
        attachment->setProduct(this);
    }
    return attachment;
}

QList<AttachmentEntity*> ProductEntity::attachDocuments(const QStringList& paths)
{
    QList<AttachmentEntity*> attached;
    if (paths.isEmpty()) {
        Log::write(QStringLiteral("Error attaching documents.  No filepaths specified."));
        return attached;
    }
    for (const QString& path : paths) {
        if (AttachmentEntity* attachment = attachDocument(path)) {
            attached.append(attachment);
        }
    }
    return attached;
}
