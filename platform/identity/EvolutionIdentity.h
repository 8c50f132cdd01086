#pragma once

#include "PersonIdentity.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The person as Evolution's mail identities know them: the "*.source" key files of its sources
// folder whose [Mail Identity] group has a name or an address, taken in file-name order and
// skipping sources switched off ([Data Source] Enabled=false). A file that is too large, not UTF-8
// or not a key file is passed over and reported; the other files still count.
namespace EvolutionIdentity {

// The values of one group of a key file's text ("Key=Value" lines, '#' comments, escapes \s \n
// \t \r \\); nothing when a line is neither a group, a value, a comment nor blank. Localised keys
// ("Name[de]") are left out.
std::optional<QHash<QString, QString>> keyFileGroup(const QString& text, const QString& group, QString* problem);

using ProblemReport = std::function<void(const QString& problem)>;

PersonIdentity read(const QStringList& sourceFolders, const ProblemReport& report);

} // namespace EvolutionIdentity
