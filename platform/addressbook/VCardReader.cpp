#include "VCardReader.h"

#include "VCardProperty.h"

#include <QFile>

#include <algorithm>

namespace {

using Version = VCardProperty::Version;

// The logical lines of a vCard: a line that starts with a space or tab continues the one before
// (without that blank), and a quoted-printable line that ends in "=" continues on the next.
QList<QByteArray> logicalLines(QByteArray data)
{
    data.replace("\r\n", "\n");
    data.replace('\r', '\n');
    QList<QByteArray> lines;
    bool softBreak = false;
    for (const QByteArray& line : data.split('\n')) {
        if (softBreak) {
            lines.last().append(line);
        } else if (!lines.isEmpty() && (line.startsWith(' ') || line.startsWith('\t'))) {
            lines.last().append(line.mid(1));
        } else if (!line.trimmed().isEmpty()) {
            lines.append(line);
        } else {
            continue;
        }
        softBreak = lines.last().endsWith('=') && VCardProperty::isQuotedPrintableLine(lines.last());
        if (softBreak) {
            lines.last().chop(1);
        }
    }
    return lines;
}

bool isCardBoundary(const VCardProperty& property, const char* name)
{
    return property.name() == name
        && property.text(Version::V30).compare(QLatin1String("VCARD"), Qt::CaseInsensitive) == 0;
}

Version versionOf(const QList<VCardProperty>& properties)
{
    for (const VCardProperty& property : properties) {
        if (property.name() == "VERSION") {
            const QString version = property.text(Version::V30);
            if (version == QLatin1String("2.1")) {
                return Version::V21;
            }
            return version == QLatin1String("4.0") ? Version::V40 : Version::V30;
        }
    }
    return Version::V30;
}

AddressBookEmail emailFrom(const VCardProperty& property, Version version)
{
    AddressBookEmail email;
    email.address = property.text(version);
    const QStringList types = property.parameterValues("TYPE");
    email.label = QString::fromLatin1(AddressBookCard::OtherLabel);
    for (const QString& type : types) {
        if (type == QLatin1String(AddressBookCard::HomeLabel) || type == QLatin1String(AddressBookCard::WorkLabel)) {
            email.label = type;
            break;
        }
    }
    const QStringList preference = property.parameterValues("PREF");
    if (!preference.isEmpty()) {
        // Version 4.0 ranks from 1 (most preferred) to 100; version 2.1 writes a bare PREF.
        bool isNumber = false;
        const int rank = preference.first().toInt(&isNumber);
        email.preference = isNumber ? std::clamp(rank, 1, 100) : 1;
    } else if (types.contains(QStringLiteral("pref"))) {
        email.preference = 1;
    }
    return email;
}

AddressBookCard cardFrom(const QList<VCardProperty>& properties)
{
    const Version version = versionOf(properties);
    AddressBookCard card;
    for (const VCardProperty& property : properties) {
        const QByteArray& name = property.name();
        if (name == "FN" && card.formattedName.isEmpty()) {
            card.formattedName = property.text(version);
        } else if (name == "N" && card.lastName.isEmpty() && card.firstName.isEmpty()) {
            const QStringList parts = property.components(version);
            card.lastName = parts.value(0);
            card.firstName = parts.value(1);
            card.middleName = parts.value(2);
            card.namePrefix = parts.value(3);
            card.nameSuffix = parts.value(4);
        } else if (name == "ORG" && card.organization.isEmpty()) {
            card.organization = property.components(version).value(0); // the units follow it
        } else if (name == "EMAIL") {
            AddressBookEmail email = emailFrom(property, version);
            if (!email.address.isEmpty()) {
                card.emails.append(email);
            }
        }
    }
    return card;
}

} // namespace

std::optional<AddressBookCard> VCardReader::readData(const QByteArray& data)
{
    m_error.clear();
    if (data.size() > MaximumSize) {
        return fail(QStringLiteral("The card is larger than %1 bytes.").arg(MaximumSize));
    }
    QList<VCardProperty> properties;
    int depth = 0;
    bool found = false;
    for (const QByteArray& line : logicalLines(data)) {
        const std::optional<VCardProperty> property = VCardProperty::parse(line);
        if (!property) {
            continue;
        }
        if (isCardBoundary(*property, "BEGIN")) {
            found = true;
            ++depth;
        } else if (isCardBoundary(*property, "END") && depth > 0) {
            if (--depth == 0) {
                break;
            }
        } else if (depth == 1) {
            properties.append(*property);
        }
    }
    if (!found) {
        return fail(QStringLiteral("The data holds no vCard."));
    }
    return cardFrom(properties);
}

std::optional<AddressBookCard> VCardReader::readFile(const QString& path)
{
    m_error.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return fail(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
    }
    if (file.size() > MaximumSize) {
        return fail(QStringLiteral("%1 is larger than %2 bytes.").arg(path).arg(MaximumSize));
    }
    const QByteArray data = file.read(MaximumSize + 1);
    if (file.error() != QFileDevice::NoError) {
        return fail(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
    }
    std::optional<AddressBookCard> card = readData(data);
    if (!card) {
        m_error = QStringLiteral("%1: %2").arg(path, m_error);
    }
    return card;
}

std::optional<AddressBookCard> VCardReader::fail(const QString& error)
{
    m_error = error;
    return std::nullopt;
}
