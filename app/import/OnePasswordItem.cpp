#include "OnePasswordItem.h"

#include "base/Localization.h"

#include <QDateTime>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>

namespace {

const QString SoftwareLicenceCategory = QStringLiteral("100");
const QString DocumentCategory = QStringLiteral("006");

enum class Target {
    None,
    Serial,
    Version,
    Name,
    Email,
    Company,
    Publisher,
    Website,
    Support,
    Order,
    Date,
    Price,
    Expiry,
    Seats
};

// Identifiers and titles compared without case, blanks, '_' and '-': "reg_code" and "Reg. code" match.
QString folded(const QString& text)
{
    QString result;
    for (const QChar c : text) {
        if (c.isLetterOrNumber()) {
            result.append(c.toLower());
        }
    }
    return result;
}

Target targetOf(const QString& key)
{
    static const QHash<QString, Target> targets {
        {QStringLiteral("regcode"), Target::Serial},
        {QStringLiteral("licensekey"), Target::Serial},
        {QStringLiteral("licencekey"), Target::Serial},
        {QStringLiteral("serialnumber"), Target::Serial},
        {QStringLiteral("serial"), Target::Serial},
        {QStringLiteral("productkey"), Target::Serial},
        {QStringLiteral("registrationcode"), Target::Serial},
        {QStringLiteral("registrationkey"), Target::Serial},
        {QStringLiteral("productversion"), Target::Version},
        {QStringLiteral("version"), Target::Version},
        {QStringLiteral("regname"), Target::Name},
        {QStringLiteral("licensedto"), Target::Name},
        {QStringLiteral("registeredname"), Target::Name},
        {QStringLiteral("regemail"), Target::Email},
        {QStringLiteral("registeredemail"), Target::Email},
        {QStringLiteral("company"), Target::Company},
        {QStringLiteral("publishername"), Target::Publisher},
        {QStringLiteral("publisher"), Target::Publisher},
        {QStringLiteral("downloadlink"), Target::Website},
        {QStringLiteral("downloadpage"), Target::Website},
        {QStringLiteral("publisherwebsite"), Target::Website},
        {QStringLiteral("website"), Target::Website},
        {QStringLiteral("supportemail"), Target::Support},
        {QStringLiteral("ordernumber"), Target::Order},
        {QStringLiteral("orderdate"), Target::Date},
        {QStringLiteral("purchasedate"), Target::Date},
        {QStringLiteral("ordertotal"), Target::Price},
        {QStringLiteral("price"), Target::Price},
        {QStringLiteral("expirydate"), Target::Expiry},
        {QStringLiteral("expirationdate"), Target::Expiry},
        {QStringLiteral("expires"), Target::Expiry},
        {QStringLiteral("seats"), Target::Seats},
        {QStringLiteral("seatcount"), Target::Seats},
        {QStringLiteral("numberofseats"), Target::Seats},
        {QStringLiteral("numberoflicenses"), Target::Seats},
        {QStringLiteral("numberoflicences"), Target::Seats},
        {QStringLiteral("licensecount"), Target::Seats},
        {QStringLiteral("licencecount"), Target::Seats},
        {QStringLiteral("licenses"), Target::Seats},
        {QStringLiteral("licences"), Target::Seats},
    };
    return targets.value(folded(key), Target::None);
}

Target targetOfField(const QJsonObject& field)
{
    const Target byId = targetOf(field.value(QStringLiteral("id")).toString());
    return byId != Target::None ? byId : targetOf(field.value(QStringLiteral("title")).toString());
}

QString* textTarget(ForeignRecord* record, Target target)
{
    switch (target) {
    case Target::Serial:
        return &record->serialNumber;
    case Target::Version:
        return &record->version;
    case Target::Name:
        return &record->registeredName;
    case Target::Email:
        return &record->registeredEmail;
    case Target::Company:
        return &record->registeredCompany;
    case Target::Publisher:
        return &record->publisher;
    case Target::Website:
        return &record->website;
    case Target::Support:
        return &record->supportEmail;
    case Target::Order:
        return &record->orderNumber;
    case Target::Date:
        return &record->purchaseDate;
    case Target::Price:
        return &record->price;
    case Target::None:
    case Target::Expiry:
    case Target::Seats:
        break;
    }
    return nullptr;
}

QDate dateOfSeconds(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).date();
}

// The text of a field's value, whichever kind it is ({"string": ...}, {"date": seconds} ...).
QString valueText(const QJsonObject& value)
{
    if (value.isEmpty()) {
        return {};
    }
    const QString kind = value.begin().key();
    const QJsonValue inner = value.begin().value();
    if (kind == u"date") {
        return dateOfSeconds(qint64(inner.toDouble())).toString(Qt::ISODate);
    }
    if (kind == u"monthYear") {
        const int monthYear = inner.toInt();
        return QStringLiteral("%1-%2")
            .arg(monthYear / 100, 4, 10, QChar(u'0'))
            .arg(monthYear % 100, 2, 10, QChar(u'0'));
    }
    if (kind == u"email" && inner.isObject()) {
        return inner.toObject().value(QStringLiteral("email_address")).toString();
    }
    if (inner.isString()) {
        return inner.toString();
    }
    if (inner.isDouble()) {
        return QString::number(inner.toDouble(), 'g', 15);
    }
    if (inner.isObject()) {
        return QString::fromUtf8(QJsonDocument(inner.toObject()).toJson(QJsonDocument::Compact));
    }
    return {};
}

void addText(ForeignRecord* record, Target target, const QString& name, const QString& text)
{
    QString* field = textTarget(record, target);
    if (field && field->isEmpty()) {
        *field = text;
    } else {
        record->addUnmapped(name, text);
    }
}

void addExpiry(ForeignRecord* record, const QString& name, const QJsonObject& value)
{
    const QJsonValue seconds = value.value(QStringLiteral("date"));
    const QDate date = seconds.isDouble() ? dateOfSeconds(qint64(seconds.toDouble()))
                                          : QDate::fromString(valueText(value), Qt::ISODate);
    if (date.isValid() && !record->expiryDate.isValid()) {
        record->expiryDate = date;
    } else {
        record->addUnmapped(name, valueText(value));
    }
}

// A count of seats only when it is a positive whole number and the record has none yet; anything
// else ("unlimited", "0", "2.5", a second count) stays in the notes under its name.
void addSeats(ForeignRecord* record, const QString& name, const QJsonObject& value)
{
    const QString text = valueText(value).trimmed();
    bool isNumber = false;
    const int seats = text.toInt(&isNumber);
    if (isNumber && seats > 0 && !record->seats) {
        record->seats = seats;
    } else {
        record->addUnmapped(name, valueText(value));
    }
}

void attachFile(const QJsonObject& attributes, const QList<ZipArchive::Entry>& entries, const ForeignReadLimits& limits,
                ForeignRecord* record, QStringList* warnings)
{
    const QString fileName = attributes.value(QStringLiteral("fileName")).toString();
    const QString documentId = attributes.value(QStringLiteral("documentId")).toString();
    const auto entry = std::find_if(entries.begin(), entries.end(), [&](const ZipArchive::Entry& e) {
        return !documentId.isEmpty() && e.name.startsWith(QStringLiteral("files/"))
            && e.name.mid(6).startsWith(documentId);
    });
    if (entry == entries.end()) {
        warnings->append(
            localizedFormat(QStringLiteral("OnePasswordDocumentMissingFormat"), {fileName, record->title}));
    } else if (entry->bytes.size() > limits.maximumAttachmentSize) {
        warnings->append(localizedFormat(QStringLiteral("ForeignImportAttachmentTooLargeFormat"),
                                         {fileName, record->title, QString::number(limits.maximumAttachmentSize)}));
    } else if (!ZipArchive::isSafeEntryName(fileName) || fileName.contains(u'/')) {
        warnings->append(localizedFormat(QStringLiteral("OnePasswordDocumentNameFormat"), {fileName, record->title}));
    } else {
        record->attachments.append({fileName, entry->bytes});
    }
}

} // namespace

OnePasswordItem::OnePasswordItem(const QJsonObject& item)
    : m_item(item)
    , m_details(item.value(QStringLiteral("details")).toObject())
{ }

QString OnePasswordItem::title() const
{
    return m_item.value(QStringLiteral("overview")).toObject().value(QStringLiteral("title")).toString().trimmed();
}

bool OnePasswordItem::isPassedOver() const
{
    const QString state = m_item.value(QStringLiteral("state")).toString();
    return state == u"archived" || state == u"deleted" || m_item.value(QStringLiteral("trashed")).toBool();
}

bool OnePasswordItem::isDocument() const
{
    return m_item.value(QStringLiteral("categoryUuid")).toString() == DocumentCategory;
}

bool OnePasswordItem::isLicence() const
{
    if (m_item.value(QStringLiteral("categoryUuid")).toString() == SoftwareLicenceCategory) {
        return true;
    }
    for (const QJsonValue& section : m_details.value(QStringLiteral("sections")).toArray()) {
        for (const QJsonValue& field : section.toObject().value(QStringLiteral("fields")).toArray()) {
            const QJsonObject object = field.toObject();
            if (targetOfField(object) == Target::Serial
                && !valueText(object.value(QStringLiteral("value")).toObject()).trimmed().isEmpty()) {
                return true;
            }
        }
    }
    return false;
}

ForeignRecord OnePasswordItem::record(const QList<ZipArchive::Entry>& entries, const ForeignReadLimits& limits,
                                      QStringList* warnings) const
{
    ForeignRecord record;
    record.title = title();
    record.notes = m_details.value(QStringLiteral("notesPlain")).toString();
    for (const QJsonValue& section : m_details.value(QStringLiteral("sections")).toArray()) {
        for (const QJsonValue& fieldValue : section.toObject().value(QStringLiteral("fields")).toArray()) {
            const QJsonObject field = fieldValue.toObject();
            const QJsonObject value = field.value(QStringLiteral("value")).toObject();
            QString name = field.value(QStringLiteral("title")).toString();
            if (name.isEmpty()) {
                name = field.value(QStringLiteral("id")).toString();
            }
            const Target target = targetOfField(field);
            if (value.value(QStringLiteral("file")).isObject()) {
                attachFile(value.value(QStringLiteral("file")).toObject(), entries, limits, &record, warnings);
            } else if (target == Target::Expiry) {
                addExpiry(&record, name, value);
            } else if (target == Target::Seats) {
                addSeats(&record, name, value);
            } else {
                addText(&record, target, name, valueText(value));
            }
        }
    }
    for (const QJsonValue& loginField : m_details.value(QStringLiteral("loginFields")).toArray()) {
        const QJsonObject field = loginField.toObject();
        const QString designation = field.value(QStringLiteral("designation")).toString();
        const QString name = designation.isEmpty() ? field.value(QStringLiteral("name")).toString() : designation;
        record.addUnmapped(name, field.value(QStringLiteral("value")).toString());
    }
    const QJsonObject overview = m_item.value(QStringLiteral("overview")).toObject();
    addText(&record, Target::Website, QStringLiteral("url"), overview.value(QStringLiteral("url")).toString());
    QStringList tags;
    for (const QJsonValue& tag : overview.value(QStringLiteral("tags")).toArray()) {
        tags.append(tag.toString());
    }
    record.addUnmapped(QStringLiteral("tags"), tags.join(QStringLiteral(", ")));
    if (isDocument()) {
        attachDocument(entries, limits, &record, warnings);
    }
    return record;
}

void OnePasswordItem::attachDocument(const QList<ZipArchive::Entry>& entries, const ForeignReadLimits& limits,
                                     ForeignRecord* record, QStringList* warnings) const
{
    const QJsonObject attributes = m_details.value(QStringLiteral("documentAttributes")).toObject();
    if (!attributes.isEmpty()) {
        attachFile(attributes, entries, limits, record, warnings);
    }
}
