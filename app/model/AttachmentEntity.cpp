#include "AttachmentEntity.h"

#include "AttachmentExport.h"
#include "AttachmentIcons.h"
#include "ProductEntity.h"
#include "ZRAttachmentContent.h"
#include "ZRPathTools.h"
#include "base/FileWriting.h"
#include "base/LibraryPaths.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "email/ZRTextEncoding.h"
#include "persistence/ObjectContext.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLocale>

using Persistence::ContextLocker;
using Persistence::ObjectContext;

const QStringList& AttachmentEntity::emailArchiveExtensions()
{
    static const QStringList list {QStringLiteral("eml"), QStringLiteral("EML"), QStringLiteral("emlx"),
                                   QStringLiteral("EMLX")};
    return list;
}

const QStringList& AttachmentEntity::visibleTextExtensions()
{
    static const QStringList list = [] {
        QStringList entries;
        for (const char* entry :
             {"csv", "CSV", "rtf",  "RTF",  "tex", "TEX", "txt",  "etx",  "doc",   "DOC", "css", "CSS",   "js",   "JS",
              "xml", "XML", "xslt", "XSLT", "htm", "HTM", "html", "HTML", "php",   "PHP", "py",  "PY",    "pl",   "PL",
              "h",   "H",   "c",    "C",    "m",   "M",   "sh",   "SH",   "xhtml", "xsl", "XSL", "plist", "PLIST"}) {
            entries.append(QString::fromLatin1(entry));
        }
        return entries;
    }();
    return list;
}

const QStringList& AttachmentEntity::unsupportedFilesArray()
{
    static const QStringList list {QStringLiteral("app")};
    return list;
}

AttachmentEntity* AttachmentEntity::insertAttachmentForFile(const QString& path, ObjectContext* context)
{
    if (!context) {
        return nullptr;
    }
    AttachmentEntity* attachment = nullptr;
    {
        ContextLocker locker(context);
        attachment = context->insert<AttachmentEntity>(QStringLiteral("AttachedFile"));
    }
    if (!attachment) {
        return nullptr;
    }
    const QFileInfo info(path);
    attachment->setName(info.fileName().isEmpty() ? path : info.fileName());
    QDateTime date = info.birthTime();
    if (!date.isValid()) {
        date = info.lastModified();
    }
    if (date.isValid()) {
        attachment->setDate(date);
    }
    if (!attachment->insertNewAttachmentContentForFile(path)) {
        ContextLocker locker(context);
        context->deleteObject(attachment);
        Log::write(QStringLiteral("Counld not create a new attachment for file:%1").arg(path));
        return nullptr;
    }
    return attachment;
}

ProductEntity* AttachmentEntity::product() const
{
    return dynamic_cast<ProductEntity*>(toOne(QStringLiteral("product")));
}

bool AttachmentEntity::setProduct(ProductEntity* product)
{
    return setToOne(QStringLiteral("product"), product);
}

ZRAttachmentContent* AttachmentEntity::content() const
{
    return dynamic_cast<ZRAttachmentContent*>(toOne(QStringLiteral("content")));
}

bool AttachmentEntity::setContent(ZRAttachmentContent* content)
{
    return setToOne(QStringLiteral("content"), content);
}

ZRAttachmentContent* AttachmentEntity::insertNewContent()
{
    ContextLocker locker(context());
    auto* newContent = context()->insert<ZRAttachmentContent>(QStringLiteral("AttachmentContent"));
    if (!newContent) {
        Log::write(QStringLiteral("Error creating new AttachmentContent object!"));
        return nullptr;
    }
    setContent(newContent);
    return newContent;
}

bool AttachmentEntity::insertNewAttachmentContentForFile(const QString& path)
{
    ZRAttachmentContent* newContent = insertNewContent();
    if (!newContent) {
        return false;
    }
    if (!QFileInfo::exists(path)) {
        Log::write(QStringLiteral("Error file:%1 does not exist!").arg(path));
        return false;
    }
    QString error;
    if (!newContent->copyContentFromFile(path, &error)) {
        Log::write(QStringLiteral("Error copying file to path:%1. Error: %2").arg(newContent->filePath(), error));
        return false;
    }
    return true;
}

bool AttachmentEntity::insertNewAttachmentContentWithData(const QByteArray& bytes)
{
    ZRAttachmentContent* newContent = insertNewContent();
    if (!newContent) {
        return false;
    }
    QString error;
    if (!newContent->writeContentData(bytes, &error)) {
        Log::write(QStringLiteral("Error writing attachment content to path:%1. Error: %2")
                       .arg(newContent->filePath(), error));
        return false;
    }
    return true;
}

QString AttachmentEntity::nameExtension() const
{
    const QString fileName = name().section(u'/', -1);
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? QString() : fileName.sliced(dot + 1);
}

bool AttachmentEntity::isEmail() const
{
    return name().contains(u'.') && emailArchiveExtensions().contains(nameExtension());
}

bool AttachmentEntity::isVisibleText() const
{
    if (isEmail()) {
        return true;
    }
    const QString extension = nameExtension();
    if (name().contains(u'.') && !extension.isEmpty() && !visibleTextExtensions().contains(extension)) {
        return false;
    }
    if (contentSize() > MaximumVisibleTextSize) {
        Log::write(QStringLiteral("file too big"));
        return false;
    }
    return true;
}

bool AttachmentEntity::isPDF() const
{
    return nameExtension().toLower() == u"pdf";
}

bool AttachmentEntity::isImage() const
{
    const QString extension = nameExtension();
    if (extension.isEmpty()) {
        return false;
    }
    const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    return formats.contains(extension.toLatin1());
}

bool AttachmentEntity::isPrintable() const
{
    return isVisibleText() || isPDF() || isImage() || nameExtension() == u"webarchive";
}

QIcon AttachmentEntity::icon() const
{
    if (!m_icon) {
        m_icon = storedFileExists() ? makeIcon() : AttachmentIcons::missingFileIcon();
    }
    return *m_icon;
}

QIcon AttachmentEntity::makeIcon() const
{
    return AttachmentIcons::iconForFileExtension(nameExtension());
}

bool AttachmentEntity::storedFileExists() const
{
    const QString path = contentPath();
    return !path.isEmpty() && QFileInfo(path).isFile();
}

QString AttachmentEntity::formattedDateString() const
{
    const QDateTime when = date();
    if (!when.isValid()) {
        return {};
    }
    const QLocale locale;
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    // The long time format ends with the time zone; the medium style leaves it out.
    timeFormat.remove(QStringLiteral("tttt")).remove(u't');
    const QDateTime local = when.toLocalTime();
    return locale.toString(local.date(), QLocale::LongFormat) + u' '
        + locale.toString(local.time(), timeFormat.trimmed());
}

QString AttachmentEntity::nameLabel() const
{
    return localizedString(QStringLiteral("AttachedFileLabel"));
}

std::optional<QByteArray> AttachmentEntity::storedContentData() const
{
    const ZRAttachmentContent* stored = content();
    if (!stored) {
        return std::nullopt;
    }
    QByteArray bytes = stored->contentData();
    if (bytes.isNull()) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<QString> AttachmentEntity::contentString() const
{
    const std::optional<QByteArray> bytes = storedContentData();
    if (!bytes) {
        return std::nullopt;
    }
    return ZRTextEncoding::decodeStrictly(*bytes, ZRTextEncoding::UTF8);
}

QString AttachmentEntity::contentPath() const
{
    const ZRAttachmentContent* stored = content();
    return stored ? stored->filePath() : QString();
}

qint64 AttachmentEntity::contentSize() const
{
    const QString path = contentPath();
    return path.isEmpty() ? 0 : QFileInfo(path).size();
}

QString AttachmentEntity::safeFileName(const QString& name)
{
    QString safe = name.trimmed();
    safe.replace(u'/', u'-').replace(QChar(0), u'-');
    if (safe.isEmpty() || safe == u"." || safe == u"..") {
        safe = QStringLiteral("Attachment");
    }
    return safe;
}

QString AttachmentEntity::exportFileName() const
{
    return safeFileName(name());
}

QString AttachmentEntity::exportToFolder(const QString& folder) const
{
    return AttachmentExport::forAttachment(*this).exportToFolder(folder);
}

QString AttachmentEntity::exportAsResourceToCacheForParent(const QString& parentName) const
{
    const QString cache = LibraryPaths::applicationCacheFolder();
    if (parentName.isEmpty() || cache.isEmpty()) {
        return {};
    }
    const QString title = product() ? product()->title() : QString();
    const QString target
        = QDir(cache).filePath(safeFileName(QStringLiteral("%1-%2-%3").arg(title, parentName, name())));
    if (QFileInfo::exists(target)) {
        // Made by an earlier viewing of the same message: the stored bytes never change.
        Log::write(QStringLiteral("Error writing attachment to path:%1. Error: %2")
                       .arg(target, QStringLiteral("the file exists")));
        return target;
    }
    QString error;
    if (!FileWriting::copyFile(contentPath(), target, &error)) {
        Log::write(QStringLiteral("Error writing attachment to path:%1. Error: %2").arg(target, error));
        return {};
    }
    return target;
}

QVariant AttachmentEntity::valueForUndefinedKey(const QString&) const
{
    return {};
}
