#include "MailDrop.h"

#include "DroppedFiles.h"
#include "email/MailStoreLocations.h"
#include "email/MailStoreReader.h"
#include "email/ThunderbirdMessageAddress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace {

const QString MessageFormat = QStringLiteral("message/rfc822");
const QString MozillaMessageFormat = QStringLiteral("text/x-moz-message");

const QString UriListFormat = QStringLiteral("text/uri-list");

// "mailbox-message:", "imap-message:", "news-message:": a message of a mail program, by address.
bool isMessageAddress(const QString& text)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    return colon > 0 && text.left(colon).endsWith(QLatin1String("-message"));
}

// Thunderbird hands its message addresses as UTF-16 text; other programs as UTF-8.
QStringList addressesIn(const QByteArray& bytes)
{
    const QString text = bytes.contains('\0')
        ? QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2)
        : QString::fromUtf8(bytes);
    QStringList addresses;
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString address = line.trimmed().remove(QChar(0));
        if (!address.startsWith(QLatin1Char('#')) && isMessageAddress(address)) {
            addresses.append(address);
        }
    }
    return addresses;
}

// The addresses are read as text: a host such as "Local%20Folders" is no valid URL host.
QStringList messageAddresses(const QMimeData* data)
{
    QStringList addresses;
    for (const QString& format : {UriListFormat, MozillaMessageFormat}) {
        if (data->hasFormat(format)) {
            for (const QString& address : addressesIn(data->data(format))) {
                if (!addresses.contains(address)) {
                    addresses.append(address);
                }
            }
        }
    }
    return addresses;
}

bool startsWithFromLine(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(5) == "From ";
}

} // namespace

bool MailDrop::isEmlFile(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("eml"), Qt::CaseInsensitive) == 0;
}

bool MailDrop::isMboxFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        return false;
    }
    return info.suffix().compare(QLatin1String("mbox"), Qt::CaseInsensitive) == 0 || startsWithFromLine(path);
}

bool MailDrop::holdsMail(const QMimeData* data)
{
    if (!data) {
        return false;
    }
    if (data->hasFormat(MessageFormat) || !messageAddresses(data).isEmpty()) {
        return true;
    }
    const QStringList files = droppedLocalFiles(data);
    return !files.isEmpty() && std::all_of(files.begin(), files.end(), [](const QString& path) {
        return isEmlFile(path)
            || ((QFileInfo(path).suffix().isEmpty() || path.endsWith(QLatin1String(".mbox"), Qt::CaseInsensitive))
                && isMboxFile(path));
    });
}

MailDrop MailDrop::read(const QMimeData* data, const QString& thunderbirdProfile)
{
    MailDrop drop;
    if (!data) {
        return drop;
    }
    if (data->hasFormat(MessageFormat) && !data->data(MessageFormat).isEmpty()) {
        drop.messages.append(data->data(MessageFormat));
    }
    const QStringList addresses = messageAddresses(data);
    const QString profile = addresses.isEmpty() || !thunderbirdProfile.isEmpty()
        ? thunderbirdProfile
        : MailStoreLocations::defaultThunderbirdProfile();
    const MailStoreReader reader;
    for (const QString& address : addresses) {
        const std::optional<MailMessagePlace> place = thunderbirdPlace(address, profile);
        const QByteArray bytes = place ? reader.messageAt(*place).bytes : QByteArray();
        if (bytes.isEmpty()) {
            drop.unresolved.append(address);
        } else {
            drop.messages.append(bytes);
        }
    }
    for (const QString& path : droppedLocalFiles(data)) {
        if (isEmlFile(path)) {
            drop.emlFiles.append(path);
        } else if (isMboxFile(path)) {
            drop.mboxFiles.append(path);
        }
    }
    return drop;
}

std::optional<MailMessagePlace> MailDrop::thunderbirdPlace(const QString& address, const QString& profile)
{
    return ThunderbirdMessageAddress::place(address, profile);
}
