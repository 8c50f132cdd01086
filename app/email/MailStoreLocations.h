#pragma once

#include <QString>
#include <QStringList>

// The mail stores of the mail programs people use on Linux, as this account has them.
namespace MailStoreLocations {

// The folders that may hold Thunderbird's "profiles.ini": "~/.thunderbird", the Flatpak
// ("~/.var/app/org.mozilla.Thunderbird/.thunderbird") and Snap ("~/snap/thunderbird/common/
// .thunderbird") places; only those that exist.
QStringList thunderbirdProfileRoots();

// The default profile's folder of a "profiles.ini" (the [Install*] section's Default, else the
// profile marked Default=1, else the first; relative paths against the ini's folder); empty when
// the file names no existing profile.
QString defaultThunderbirdProfile(const QString& profilesIni);

// The default profile of the first root that has one; empty when none.
QString defaultThunderbirdProfile();

// "$XDG_DATA_HOME/evolution/mail/local" when it exists; empty otherwise.
QString evolutionLocalStore();

} // namespace MailStoreLocations
