#include "ImportHeaderMatcher.h"

#include "base/Localization.h"
#include "model/ExportField.h"

#include <QHash>

#include <initializer_list>

namespace {

// Other common names of the fields, already normalised.
const QHash<QString, QString>& synonyms()
{
    static const QHash<QString, QString> table = [] {
        QHash<QString, QString> t;
        const auto add = [&t](const char* keyPath, std::initializer_list<const char*> names) {
            for (const char* name : names) {
                t.insert(QLatin1String(name), QLatin1String(keyPath));
            }
        };
        add("title",
            {"title", "product", "productname", "producttitle", "application", "applicationname", "app", "appname",
             "software", "softwarename"});
        add("productVersion", {"version", "productversion", "softwareversion"});
        add("serialNumber",
            {"serial", "serialnumber", "serialno", "serialkey", "licencekey", "licensekey", "productkey",
             "registrationcode", "registrationkey", "activationkey", "key"});
        add("registeredName",
            {"registeredto", "registeredname", "name", "licensedto", "licencedto", "licensee", "licencee", "owner",
             "fullname"});
        add("registeredEmail", {"email", "emailaddress", "registeredemail", "registrationemail", "mail"});
        add("registeredCompany", {"company", "registeredcompany", "organisation", "organization"});
        add("publisher", {"publisher", "developer", "vendor", "manufacturer", "maker"});
        add("productWebsite", {"website", "url", "homepage", "productwebsite", "web"});
        add("productEmail", {"supportemail", "productemail", "supportemailaddress"});
        add("purchaseDate", {"purchasedate", "dateofpurchase", "purchased", "purchasedon", "orderdate", "date"});
        add("purchaseCurrency", {"currency", "purchasecurrency"});
        add("purchasePrice", {"price", "purchaseprice", "cost", "amount"});
        add("purchaseOrderNumber", {"ordernumber", "orderno", "orderid", "order", "invoicenumber", "invoiceno"});
        add("commentsString", {"notes", "note", "comments", "comment", "commentsstring"});
        add("licenseType", {"licencetype", "licensetype"});
        add("expiryDate", {"expirydate", "expiry", "expires", "expirationdate", "validuntil"});
        add("renewalDate", {"renewaldate", "renews", "renewson"});
        add("renewalPeriodMonths", {"renewalperiod", "renewalperiodmonths", "renewalmonths"});
        add("renewalPrice", {"renewalprice", "renewalcost"});
        add("seats", {"seats", "numberofseats", "licencecount", "licensecount"});
        add("remindDaysBefore", {"reminddaysbefore", "reminder", "reminddays"});
        add("archived", {"archived"});
        return t;
    }();
    return table;
}

} // namespace

QString ImportHeaderMatcher::normalised(const QString& name)
{
    QString key;
    for (const QChar c : name.toCaseFolded()) {
        if (c.isLetterOrNumber()) {
            key.append(c);
        }
    }
    return key;
}

QString ImportHeaderMatcher::keyPathForHeader(const QString& header)
{
    const QString key = normalised(header);
    if (key.isEmpty()) {
        return QString();
    }
    // The export's own labels (in the language the export was written in) and the key paths
    // themselves come first, so a header line the program wrote always finds its field.
    for (const auto& [keyPath, labelKey] : exportableKeyPathLabelKeys()) {
        if (key == normalised(localizedString(labelKey)) || key == normalised(keyPath)) {
            return keyPath;
        }
    }
    return synonyms().value(key);
}

QStringList ImportHeaderMatcher::keyPathsForHeaders(const QStringList& headers)
{
    QStringList keyPaths;
    for (const QString& header : headers) {
        const QString keyPath = keyPathForHeader(header);
        keyPaths.append(keyPaths.contains(keyPath) ? QString() : keyPath);
    }
    return keyPaths;
}
