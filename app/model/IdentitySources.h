#pragma once

#include "identity/PersonIdentity.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The places on this computer that may say who the person is, in the order "Automatic" tries
// them: the "me" card, Thunderbird's default identity, Evolution's mail identity, the desktop's
// online accounts, git's global configuration, the user account's full name. Problems with a
// source's files are logged and the source yields nothing.
namespace IdentitySources {

enum class Source { AddressCard, Thunderbird, Evolution, OnlineAccounts, Git, Account };

// The value of the source preference that tries every source in order.
inline constexpr const char* Automatic = "Automatic";

const std::vector<Source>& all();
// The stored name of a source ("AddressCard", "Thunderbird", ...) and back.
QString key(Source source);
std::optional<Source> fromKey(const QString& key);

struct Reading
{
    Source source = Source::AddressCard;
    PersonIdentity identity;
    // The files the answer came from (missing ones too): the answer stands while they are unchanged.
    QStringList files;
    // Whether the answer depended on the session bus, which has no file to watch.
    bool askedBus = false;
};

// What one source says. The card's e-mail address is the one `profile` picks ("Auto", "Home" or
// "Work"); a missing card file yields nothing.
Reading read(Source source, const QString& cardPath, const QString& profile);

// The first source that yields a name or an address, with the files of every source tried before
// it; nothing, with the files of all, when none does.
Reading firstUsable(const QString& cardPath, const QString& profile, bool* found);

} // namespace IdentitySources
