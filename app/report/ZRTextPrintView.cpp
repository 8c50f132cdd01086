#include "ZRTextPrintView.h"

#include "OfflineTextDocument.h"
#include "PrintViewText.h"
#include "email/ZRTextEncoding.h"
#include "model/AttachmentEntity.h"
#include "model/ZRAttachmentContent.h"

namespace {

std::optional<QString> decodedContent(const AttachmentEntity& attachment)
{
    const ZRAttachmentContent* content = attachment.content();
    if (!content || attachment.contentSize() > AttachmentEntity::MaximumVisibleTextSize) {
        return std::nullopt;
    }
    const QVariant recorded = attachment.value(QStringLiteral("encoding"));
    const ZRTextEncoding::Id encoding
        = recorded.isNull() ? ZRTextEncoding::UTF8 : ZRTextEncoding::Id(recorded.toLongLong());
    return ZRTextEncoding::decodeStrictly(content->contentData(), encoding);
}

} // namespace

std::unique_ptr<QTextDocument> ZRTextPrintView::printableViewForAttachment(const AttachmentEntity& attachment)
{
    auto document = std::make_unique<OfflineTextDocument>();
    document->setMetaInformation(QTextDocument::DocumentTitle, attachment.name());
    {
        PrintViewText text(document.get());
        text.appendLabel(QStringLiteral("File:\t\t"));
        text.appendEmphasizedValue(attachment.name());
        text.appendLabel(QStringLiteral("\nDate:\t"));
        text.appendValue(attachment.formattedDateString());
        text.appendPlain(QStringLiteral("\n\n"));
        if (const std::optional<QString> content = decodedContent(attachment)) {
            if (content->contains(QLatin1String("html"), Qt::CaseInsensitive)) {
                text.appendHtml(*content);
            } else {
                text.appendPlain(*content);
            }
        }
    }
    return document;
}
