#include "AttachedEmail.h"

#include "AttachmentIcons.h"
#include "ZRAttachmentContent.h"
#include "ZRPathTools.h"
#include "base/FileWriting.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "email/MailMessageDecoding.h"
#include "email/ZREmail.h"
#include "email/ZREmailParser.h"
#include "email/ZRTextEncoding.h"
#include "persistence/ObjectContext.h"

#include <QDir>
#include <QFile>

using Persistence::ContextLocker;
using Persistence::ObjectContext;

std::optional<QString> AttachedEmail::readMessageFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Log::write(QStringLiteral("Unable to read email file:%1. Error: %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    const QByteArray bytes = file.read(MaximumMessageSize + 1);
    if (bytes.size() > MaximumMessageSize) {
        Log::write(QStringLiteral("Email file too big to attach:%1").arg(path));
        return std::nullopt;
    }
    return MailMessageDecoding::decode(bytes);
}

quint32 AttachedEmail::smallestEncoding(const QString& text, QByteArray* bytes)
{
    char16_t highest = 0;
    for (const QChar character : text) {
        highest = std::max(highest, character.unicode());
    }
    if (highest < 0x80) {
        *bytes = text.toLatin1();
        return ZRTextEncoding::ASCII;
    }
    if (highest <= 0xFF) {
        *bytes = text.toLatin1();
        return ZRTextEncoding::ISOLatin1;
    }
    *bytes = text.toUtf8();
    return ZRTextEncoding::UTF8;
}

AttachedEmail* AttachedEmail::insertAttachmentForFile(const QString& path, ObjectContext* context)
{
    const std::optional<QString> text = readMessageFile(path);
    if (!text) {
        return nullptr;
    }
    return insertAttachmentForRawSource(*text, context);
}

AttachedEmail* AttachedEmail::insertAttachmentForRawSource(const QString& text, ObjectContext* context)
{
    if (!context) {
        return nullptr;
    }
    AttachedEmail* email = nullptr;
    {
        ContextLocker locker(context);
        email = context->insert<AttachedEmail>(QStringLiteral("EmailReceipt"));
    }
    if (!email) {
        Log::write(QStringLiteral("error creating new email!"));
        return nullptr;
    }
    if (!email->setRawSource(text)) {
        // An e-mail without its message would be an empty entry in the list.
        ContextLocker locker(context);
        context->deleteObject(email);
        return nullptr;
    }
    return email;
}

bool AttachedEmail::setRawSource(const QString& text)
{
    const std::optional<ZREmail> email = ZREmail::emailFromString(text);
    if (!email) {
        Log::write(QStringLiteral("Error creating ZREmail from raw source string."));
        return false;
    }
    setName(email->subject());
    if (const auto received = email->dateReceived()) {
        setDate(*received);
    }
    setFrom(email->from());
    setTo(email->to());
    QByteArray bytes;
    const quint32 chosen = smallestEncoding(text, &bytes);
    if (!insertNewAttachmentContentWithData(bytes)) {
        return false;
    }
    setEncoding(chosen);
    return true;
}

QString AttachedEmail::nameLabel() const
{
    return localizedString(QStringLiteral("Subject"));
}

std::optional<QString> AttachedEmail::contentString() const
{
    const std::optional<QByteArray> bytes = storedContentData();
    if (!bytes) {
        return std::nullopt;
    }
    return ZRTextEncoding::decode(*bytes, encoding());
}

QString AttachedEmail::exportFileName() const
{
    QString fileName = safeFileName(name());
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString extension = dot < 0 ? QString() : fileName.sliced(dot + 1);
    if (!extension.contains(QLatin1String("eml"), Qt::CaseInsensitive)) {
        fileName += QStringLiteral(".eml");
    }
    return fileName;
}

QIcon AttachedEmail::makeIcon() const
{
    const bool outlook = ZREmailParser::defaultMailReader() == u"Microsoft Outlook";
    return AttachmentIcons::iconForMailClient(outlook ? QStringLiteral("com.microsoft.Outlook")
                                                      : QStringLiteral("com.apple.mail"));
}
