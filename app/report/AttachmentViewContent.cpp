#include "AttachmentViewContent.h"

#include "ZRPersistenceTools.h"
#include "base/Log.h"
#include "email/ZREmail.h"
#include "email/ZRTextEncoding.h"
#include "model/AttachedEmail.h"
#include "model/AttachmentEntity.h"
#include "model/ProductEntity.h"
#include "model/ZRAttachmentContent.h"
#include "persistence/ObjectContext.h"
#include "persistence/Predicate.h"
#include "text/RtfReader.h"

namespace {

ZRTextEncoding::Id recordedEncoding(const AttachmentEntity& attachment)
{
    const auto* email = dynamic_cast<const AttachedEmail*>(&attachment);
    return email && ZRTextEncoding::isKnown(email->encoding()) ? email->encoding() : ZRTextEncoding::UTF8;
}

QByteArray storedBytes(const AttachmentEntity& attachment)
{
    const ZRAttachmentContent* content = attachment.content();
    return content ? content->contentData() : QByteArray();
}

} // namespace

AttachmentViewContent AttachmentViewContent::forAttachment(const AttachmentEntity& attachment)
{
    if (attachment.isEmail()) {
        return emailContent(attachment);
    }
    AttachmentViewContent content;
    if (attachment.isPDF() || attachment.isImage()) {
        content.m_kind = attachment.isPDF() ? Kind::Pdf : Kind::Image;
        content.m_filePath = attachment.contentPath();
        return content;
    }
    if (attachment.isText()) {
        return textContent(attachment);
    }
    if (attachment.name().contains(QLatin1String(".webarchive"))) {
        QString error;
        content.m_archive = WebArchive::fromData(storedBytes(attachment), &error);
        if (content.m_archive) {
            content.m_kind = Kind::WebArchive;
        } else {
            Log::write(QStringLiteral("Unable to read web archive %1: %2").arg(attachment.name(), error));
        }
    }
    return content;
}

AttachmentViewContent AttachmentViewContent::emailContent(const AttachmentEntity& attachment)
{
    const std::optional<QString> source = attachment.contentString();
    const bool isMessage = source && source->contains(QLatin1String("from:"), Qt::CaseInsensitive)
        && source->contains(QLatin1String("to:"), Qt::CaseInsensitive);
    if (!isMessage) {
        return textContent(attachment);
    }
    const std::optional<ZREmail> email = ZREmail::emailFromString(*source);
    if (!email) {
        return textContent(attachment);
    }
    AttachmentViewContent content;
    if (email->hasHTMLContent()) {
        // The HTML is read from the stored bytes in the recorded encoding, so the message's own
        // charset declarations apply to its parts.
        const std::optional<ZREmail> fromBytes
            = ZREmail::emailFromData(storedBytes(attachment), recordedEncoding(attachment));
        content.m_kind = Kind::Html;
        content.m_text = (fromBytes ? *fromBytes : *email).htmlContent();
        return content;
    }
    content.m_kind = Kind::Text;
    content.m_text = email->textContent().value_or(*source);
    return content;
}

AttachmentViewContent AttachmentViewContent::textContent(const AttachmentEntity& attachment)
{
    AttachmentViewContent content;
    content.m_kind = Kind::Text;
    const QByteArray bytes = storedBytes(attachment);
    if (RtfReader::isRichText(bytes)) {
        RtfReader reader;
        if (const std::optional<QString> text = reader.readData(bytes)) {
            content.m_text = *text;
            return content;
        }
    }
    // Text that is not valid in its encoding is shown as Windows Latin-1, which every byte decodes in.
    const std::optional<QString> text = ZRTextEncoding::decodeStrictly(bytes, recordedEncoding(attachment));
    content.m_text = text ? *text : ZRTextEncoding::decode(bytes, ZRTextEncoding::WindowsCP1252);
    return content;
}

std::optional<QByteArray> AttachmentViewContent::inlineResource(const AttachmentEntity& shown, const QString& contentId)
{
    const ProductEntity* product = shown.product();
    Persistence::ObjectContext* context = shown.context();
    if (!product || !context || contentId.isEmpty()) {
        return std::nullopt;
    }
    using Predicate = Persistence::Predicate;
    const auto equalsIgnoringCase = [](const QString& keyPath, const QString& value) {
        Predicate::Expression left;
        left.kind = Predicate::Expression::Kind::KeyPath;
        left.keyPath = keyPath.split(u'.');
        Predicate::Expression right;
        right.constant = value;
        return Predicate::comparison(left, Predicate::Operator::Equal, right, Predicate::CaseInsensitive);
    };
    const Predicate matching
        = Predicate::conjunction(Predicate::Kind::And,
                                 {equalsIgnoringCase(QStringLiteral("name"), contentId),
                                  equalsIgnoringCase(QStringLiteral("product.title"), product->title())});
    Persistence::StoreError error;
    const auto found = ZR_fetchObjectsForEntityName(*context, QStringLiteral("AttachedFile"), matching, &error);
    if (!found) {
        Log::write(QStringLiteral("%1, Error retrieving attached resource: %2")
                       .arg(QLatin1String("AttachmentViewContent::inlineResource"), error.toString()));
        return std::nullopt;
    }
    for (Persistence::ManagedObject* object : *found) {
        const auto* attachment = dynamic_cast<const AttachmentEntity*>(object);
        const QByteArray bytes = attachment ? storedBytes(*attachment) : QByteArray();
        if (!bytes.isNull()) {
            return bytes;
        }
    }
    return std::nullopt;
}
