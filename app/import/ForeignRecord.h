#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

// One field of an entry that has no product field of its own: kept as it was named in the source
// and written into the product's notes under the "Imported fields" heading.
struct ForeignField
{
    QString name;
    QString value;
};

// A file that came with an entry; it becomes an attached file of the product.
struct ForeignAttachment
{
    QString fileName;
    QByteArray bytes;
};

// One licence read from another program's export, before it touches the catalogue. Readers fill
// what their format has; empty texts and an invalid date mean "not given". Nothing a reader finds
// is dropped: what has no field here goes into `unmapped`, in the order of the source.
struct ForeignRecord
{
    QString title;
    QString serialNumber;
    QString version;
    QString registeredName;
    QString registeredEmail;
    QString registeredCompany;
    QString publisher;
    QString website;
    QString supportEmail;
    QString orderNumber;
    QString purchaseDate; // as written in the source; the product reads it as people write dates
    QString price; // the amount as written ("49.99", "€49,99", "USD 20")
    QString currency; // a symbol or ISO code when the source names one apart from the price
    QDate expiryDate;
    QString notes;
    QList<ForeignField> unmapped;
    QList<ForeignAttachment> attachments;

    void addUnmapped(const QString& name, const QString& value)
    {
        if (!value.trimmed().isEmpty()) {
            unmapped.append({name, value});
        }
    }
};
