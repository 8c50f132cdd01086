#pragma once

#include <QString>

class UserPreferences;

// The mail stores "Find Licences in Mail" can read, by the names of UserPreferences::mailSources():
// the detected Thunderbird profile and Evolution store, or a Maildir folder or mbox file the person
// chose (kept in the preferences).
namespace MailSources {

inline constexpr const char* Thunderbird = "Thunderbird";
inline constexpr const char* Evolution = "Evolution";
inline constexpr const char* Maildir = "Maildir";
inline constexpr const char* Mbox = "Mbox";

// The detected store of Thunderbird (its default profile) or Evolution; empty when there is none.
QString detectedPath(const QString& source);
// Whether the source is one the person points at (a Maildir folder, an mbox file).
bool isChosenByPerson(const QString& source);

// The source to start with: the stored choice; else the default mail program's store when it is
// found (its desktop file ID names Thunderbird or Evolution); else the first store found; else an
// mbox file.
QString preferred(const QString& stored, const QString& defaultMailProgramId, bool thunderbirdFound,
                  bool evolutionFound);

// The name shown for the source.
QString label(const QString& source);

// The path to read for the source: the detected store, or the stored path of a chosen one.
QString pathFor(const QString& source, const UserPreferences& prefs);

} // namespace MailSources
