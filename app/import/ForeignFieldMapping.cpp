#include "ForeignFieldMapping.h"

#include <QDateTime>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>

namespace {

enum class Target {
    Serial,
    Version,
    RegisteredName,
    RegisteredEmail,
    RegisteredCompany,
    Publisher,
    Website,
    SupportEmail,
    OrderNumber,
    PurchaseDate,
    Price,
    Currency,
    Expiry,
};

// A label reduced to lower-case letters and digits: "Serial No." -> "serialno".
QString normalised(const QString& label)
{
    QString key;
    for (const QChar c : label.toCaseFolded()) {
        if (c.isLetterOrNumber()) {
            key.append(c);
        }
    }
    return key;
}

const QHash<QString, Target>& targets()
{
    static const QHash<QString, Target> table = [] {
        QHash<QString, Target> t;
        for (const char* label : {"licencekey",    "licensekey",       "licence",         "license",
                                  "licencecode",   "licensecode",      "licencenumber",   "licensenumber",
                                  "serial",        "serialnumber",     "serialno",        "serialkey",
                                  "productkey",    "registrationcode", "registrationkey", "registrationnumber",
                                  "activationkey", "activationcode",   "cdkey",           "keycode"}) {
            t.insert(QLatin1String(label), Target::Serial);
        }
        for (const char* label : {"registeredname", "registeredto", "licensedto", "licencedto", "licensee", "licencee",
                                  "registrationname", "ownername", "fullname"}) {
            t.insert(QLatin1String(label), Target::RegisteredName);
        }
        for (const char* label : {"registeredemail", "registrationemail", "licenseemail", "licenceemail",
                                  "registeredemailaddress", "email", "emailaddress"}) {
            t.insert(QLatin1String(label), Target::RegisteredEmail);
        }
        for (const char* label : {"registeredcompany", "company", "organisation", "organization"}) {
            t.insert(QLatin1String(label), Target::RegisteredCompany);
        }
        for (const char* label : {"version", "productversion", "softwareversion"}) {
            t.insert(QLatin1String(label), Target::Version);
        }
        for (const char* label : {"publisher", "developer", "vendor", "manufacturer"}) {
            t.insert(QLatin1String(label), Target::Publisher);
        }
        for (const char* label : {"website", "url", "productwebsite", "homepage", "web", "downloadpage"}) {
            t.insert(QLatin1String(label), Target::Website);
        }
        for (const char* label : {"supportemail", "productemail", "supportemailaddress"}) {
            t.insert(QLatin1String(label), Target::SupportEmail);
        }
        for (const char* label : {"ordernumber", "orderno", "orderid", "invoicenumber", "invoiceno"}) {
            t.insert(QLatin1String(label), Target::OrderNumber);
        }
        for (const char* label : {"purchasedate", "dateofpurchase", "purchased", "orderdate", "purchasedon"}) {
            t.insert(QLatin1String(label), Target::PurchaseDate);
        }
        for (const char* label : {"price", "purchaseprice", "cost"}) {
            t.insert(QLatin1String(label), Target::Price);
        }
        t.insert(QStringLiteral("currency"), Target::Currency);
        for (const char* label : {"expirydate", "expires", "expiry", "expirationdate", "validuntil", "expireson"}) {
            t.insert(QLatin1String(label), Target::Expiry);
        }
        return t;
    }();
    return table;
}

QString* textField(ForeignRecord& record, Target target)
{
    switch (target) {
    case Target::Serial:
        return &record.serialNumber;
    case Target::Version:
        return &record.version;
    case Target::RegisteredName:
        return &record.registeredName;
    case Target::RegisteredEmail:
        return &record.registeredEmail;
    case Target::RegisteredCompany:
        return &record.registeredCompany;
    case Target::Publisher:
        return &record.publisher;
    case Target::Website:
        return &record.website;
    case Target::SupportEmail:
        return &record.supportEmail;
    case Target::OrderNumber:
        return &record.orderNumber;
    case Target::PurchaseDate:
        return &record.purchaseDate;
    case Target::Price:
        return &record.price;
    case Target::Currency:
        return &record.currency;
    case Target::Expiry:
        break;
    }
    return nullptr;
}

// Fills the field the label names when it is empty; false when there is none or it is taken.
bool fill(ForeignRecord& record, const QString& label, const QString& value)
{
    const auto found = targets().constFind(normalised(label));
    if (found == targets().constEnd()) {
        return false;
    }
    if (*found == Target::Expiry) {
        const QDate date = ForeignFieldMapping::parseDate(value);
        if (!date.isValid() || record.expiryDate.isValid()) {
            return false;
        }
        record.expiryDate = date;
        return true;
    }
    QString* field = textField(record, *found);
    if (!field->isEmpty()) {
        return false;
    }
    *field = value.trimmed();
    return true;
}

} // namespace

bool ForeignFieldMapping::apply(ForeignRecord& record, const QString& label, const QString& value)
{
    if (value.trimmed().isEmpty()) {
        return false;
    }
    if (fill(record, label, value)) {
        return true;
    }
    record.unmapped.append({label, value});
    return false;
}

bool ForeignFieldMapping::isLicenceLabel(const QString& label)
{
    const auto found = targets().constFind(normalised(label));
    if (found == targets().constEnd()) {
        return false;
    }
    // A plain e-mail address or company is on many logins; only the registration's are a sign.
    const QString key = normalised(label);
    return *found == Target::Serial || (*found == Target::RegisteredName && key != u"ownername" && key != u"fullname")
        || (*found == Target::RegisteredEmail && key.startsWith(u"regist"));
}

bool ForeignFieldMapping::isLicenceKind(const QString& name)
{
    const QString key = normalised(name);
    for (const char* word : {"licen", "software", "serial", "productkey"}) {
        if (key.contains(QLatin1String(word))) {
            return true;
        }
    }
    return false;
}

bool ForeignFieldMapping::applyNoteLines(ForeignRecord& record, const QString& notes)
{
    static const QRegularExpression line(QStringLiteral("^\\s*([^:\\n]{1,40}):[ \\t]*(\\S[^\\n]*)$"),
                                         QRegularExpression::MultilineOption);
    bool licence = false;
    auto matches = line.globalMatch(notes);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        const QString label = match.captured(1);
        if (fill(record, label, match.captured(2)) && isLicenceLabel(label)) {
            licence = true;
        }
    }
    return licence;
}

QDate ForeignFieldMapping::parseDate(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return {};
    }
    QDateTime dateTime = QDateTime::fromString(trimmed, Qt::ISODate);
    if (dateTime.isValid()) {
        return dateTime.toUTC().date();
    }
    for (const char* format : {"yyyy-MM-dd", "dd.MM.yyyy", "MM/dd/yyyy", "yyyy/MM/dd"}) {
        const QDate date = QDate::fromString(trimmed, QLatin1String(format));
        if (date.isValid()) {
            return date;
        }
    }
    return {};
}
