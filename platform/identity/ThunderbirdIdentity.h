#pragma once

#include "PersonIdentity.h"

#include <QString>

#include <optional>

class MozillaPrefs;

// The person as a Thunderbird profile knows them: the default account's first identity, else the
// first identity (accounts in the account manager's order, then any other) that has a name or an
// address.
namespace ThunderbirdIdentity {

PersonIdentity fromPrefs(const MozillaPrefs& prefs);

// From "<profileFolder>/prefs.js"; nothing, with `problem` saying why, when that file is missing,
// too large, not UTF-8 or not a preferences file.
std::optional<PersonIdentity> read(const QString& profileFolder, QString* problem);

} // namespace ThunderbirdIdentity
