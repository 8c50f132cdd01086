#pragma once

#include "AddressBookCard.h"

#include <QString>

#include <optional>

// The person's own card ("me"). It is the first card of the vCard file "me.vcf" in Keymoor's
// configuration folder; without that file, a card that carries only the full name of the user
// account (the name in its passwd entry, else the login name).
class AddressBook
{
public:
    // <configuration folder>/Keymoor/me.vcf
    static QString defaultCardPath();

    explicit AddressBook(const QString& cardPath = defaultCardPath());

    // std::nullopt (with an error) when the card file exists but cannot be read as a vCard.
    std::optional<AddressBookCard> meCard(QString* error = nullptr) const;

    // The card of an account from the comment field of its passwd entry ("Jane Doe,Room 1,,"):
    // its first part is the name, and "&" in it stands for the login name with a capital. An empty
    // name gives the login name.
    static AddressBookCard accountCard(const QString& comment, const QString& loginName);

    // accountCard() for the account the process runs as.
    static AddressBookCard currentAccountCard();

private:
    QString m_cardPath;
};
