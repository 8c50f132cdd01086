#include "ZREmailPrintView.h"

#include "OfflineTextDocument.h"
#include "PrintViewText.h"
#include "email/ZREmail.h"
#include "model/AttachedEmail.h"
#include "model/ZRAttachmentContent.h"

namespace {

// The body: the message's HTML when it has some, else its readable text. Stored bytes that do not
// parse as a message print as they are.
void appendBody(PrintViewText& text, const AttachedEmail& email)
{
    const ZRAttachmentContent* content = email.content();
    if (!content) {
        return;
    }
    const std::optional<ZREmail> message = ZREmail::emailFromData(content->contentData(), email.encoding());
    if (!message) {
        return;
    }
    if (message->hasHTMLContent()) {
        text.appendHtml(message->htmlContent());
    } else {
        text.appendPlain(message->textContent().value_or(message->rawSource()));
    }
}

} // namespace

std::unique_ptr<QTextDocument> ZREmailPrintView::printableViewForEmailEntity(const AttachedEmail& email)
{
    auto document = std::make_unique<OfflineTextDocument>();
    document->setMetaInformation(QTextDocument::DocumentTitle, email.name());
    {
        PrintViewText text(document.get());
        text.appendLabel(QStringLiteral("From:\t"));
        text.appendValue(email.from());
        text.appendLabel(QStringLiteral("\nSubject:\t"));
        text.appendEmphasizedValue(email.name());
        text.appendLabel(QStringLiteral("\nDate:\t"));
        text.appendValue(email.formattedDateString());
        text.appendLabel(QStringLiteral("\nTo:\t\t"));
        text.appendValue(email.to());
        text.appendPlain(QStringLiteral("\n\n"));
        appendBody(text, email);
    }
    return document;
}
