#pragma once

#include "PersonIdentity.h"

#include <QString>
#include <QStringList>

// The person as their git configuration names them: user.name and user.email of the global
// configuration files, read in git's order (later files win): "$XDG_CONFIG_HOME/git/config"
// (default "~/.config/git/config"), then "~/.gitconfig"; "$GIT_CONFIG_GLOBAL" instead of both
// when set. Files are read, git is not run.
namespace GitIdentity {

QStringList globalConfigFiles();

// Applies the [user] values of one configuration file's text onto `identity`.
void readUserSection(const QString& text, PersonIdentity* identity);

PersonIdentity read(const QStringList& files = globalConfigFiles());

} // namespace GitIdentity
