#pragma once

#include <QString>

struct AddressBookCard;
class ProductEntity;
class UserDefaults;

// Fills the registration fields of a new product from the person's own address-book card:
// - the name: the card's whole name (the account's name when there is no card file);
// - the e-mail address, by the "AddressBook Profile" preference: "Auto" takes the card's preferred
//   address, "Home" and "Work" the first address with that label; when there is none the field is
//   cleared. Any other profile leaves the field alone;
// - the company: only with "Work", and only when the card has an organisation.
//
// Products are created on any thread and deep inside imports, so where the preferences and the
// card come from is set once for the process: the application controller points it at its own
// preferences store while it lives.
namespace RegistrationAutofill {

inline constexpr const char* AutoProfile = "Auto";
inline constexpr const char* HomeProfile = "Home";
inline constexpr const char* WorkProfile = "Work";

void apply(ProductEntity& product, const AddressBookCard& card, const QString& profile);

// Reads "Default User Info to Address Book Key" (on unless set off) and the profile, and applies
// the person's card when the preference is on. A card file that cannot be read changes nothing.
void applyDefaults(ProductEntity& product);

// The preferences store new records read; null means the standard one.
void setUserDefaults(UserDefaults* defaults);
// Forgets `defaults` if it is the store in use (its owner is going away).
void forgetUserDefaults(const UserDefaults* defaults);
// The vCard file of the person's card; empty means AddressBook::defaultCardPath().
void setCardPath(const QString& path);

} // namespace RegistrationAutofill
