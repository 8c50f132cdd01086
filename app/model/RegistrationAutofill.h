#pragma once

#include <QString>

struct AddressBookCard;
struct PersonIdentity;
class ProductEntity;
class UserDefaults;

// Fills the registration fields of a new product from what this computer knows of the person
// (see IdentitySources): the "Registration Info Source" preference names one source, or
// "Automatic" (the default) takes the first that yields a name or an address. From the "me" card:
// - the name: the card's whole name;
// - the e-mail address, by the "AddressBook Profile" preference: "Auto" takes the card's preferred
//   address, "Home" and "Work" the first address with that label; when there is none the field is
//   cleared. Any other profile leaves the field alone;
// - the company: only with "Work", and only when the card has an organisation.
// From the other sources the name and the address when they have them, and the organisation, as
// for the card, only with "Work". When no source yields anything the fields stay empty.
//
// Products are created on any thread and deep inside imports, so where the preferences and the
// card come from is set once for the process: the application controller points it at its own
// preferences store while it lives.
namespace RegistrationAutofill {

inline constexpr const char* AutoProfile = "Auto";
inline constexpr const char* HomeProfile = "Home";
inline constexpr const char* WorkProfile = "Work";

void apply(ProductEntity& product, const AddressBookCard& card, const QString& profile);
void apply(ProductEntity& product, const PersonIdentity& identity, const QString& profile);

// Reads "Default User Info to Address Book Key" (on unless set off), the profile and the source,
// and applies what the source says when the preference is on. The answer is kept while the files
// it came from are unchanged (and for a minute when it needed the session bus): imports create
// thousands of products.
void applyDefaults(ProductEntity& product);

// The preferences store new records read; null means the standard one.
void setUserDefaults(UserDefaults* defaults);
// Forgets `defaults` if it is the store in use (its owner is going away).
void forgetUserDefaults(const UserDefaults* defaults);
// The vCard file of the person's card; empty means AddressBook::defaultCardPath().
void setCardPath(const QString& path);
QString cardPath();

} // namespace RegistrationAutofill
