#include "AddressBookCard.h"

#include <QStringList>

QString AddressBookCard::fullName() const
{
    if (!formattedName.trimmed().isEmpty()) {
        return formattedName.trimmed();
    }
    QStringList parts;
    for (const QString& part : {namePrefix, firstName, middleName, lastName, nameSuffix}) {
        if (!part.trimmed().isEmpty()) {
            parts.append(part.trimmed());
        }
    }
    return parts.join(QLatin1Char(' '));
}

qsizetype AddressBookCard::primaryEmailIndex() const
{
    if (emails.isEmpty()) {
        return -1;
    }
    qsizetype best = 0;
    for (qsizetype i = 0; i < emails.size(); ++i) {
        const int preference = emails.at(i).preference;
        const int bestPreference = emails.at(best).preference;
        if (preference > 0 && (bestPreference == 0 || preference < bestPreference)) {
            best = i;
        }
    }
    return best;
}

QString AddressBookCard::primaryEmail() const
{
    const qsizetype index = primaryEmailIndex();
    return index < 0 ? QString() : emails.at(index).address;
}

QString AddressBookCard::firstEmailWithLabel(const QString& label) const
{
    for (const AddressBookEmail& email : emails) {
        if (email.label == label) {
            return email.address;
        }
    }
    return {};
}
