#pragma once

#include <QList>
#include <QString>

// One e-mail address of a card with the label it carries.
struct AddressBookEmail
{
    QString address;
    QString label; // AddressBookCard::HomeLabel, WorkLabel or OtherLabel
    // 0 when not marked as preferred; otherwise 1 (most preferred) to 100.
    int preference = 0;
};

// A person's card: the names, the organisation and the labelled e-mail addresses.
struct AddressBookCard
{
    static constexpr const char* HomeLabel = "home";
    static constexpr const char* WorkLabel = "work";
    static constexpr const char* OtherLabel = "other";

    QString formattedName; // as the card writes the whole name
    QString firstName;
    QString lastName;
    QString middleName;
    QString namePrefix;
    QString nameSuffix;
    QString organization;
    QList<AddressBookEmail> emails;

    // The whole name: the formatted name, else the parts of the name joined by single spaces.
    QString fullName() const;

    // The address marked most preferred (the first of equals), else the first; -1 without any.
    qsizetype primaryEmailIndex() const;
    QString primaryEmail() const;

    // The first address with the label, or an empty string.
    QString firstEmailWithLabel(const QString& label) const;
};
