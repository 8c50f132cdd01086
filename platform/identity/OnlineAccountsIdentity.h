#pragma once

#include "PersonIdentity.h"

#include <QMap>
#include <QString>
#include <QVariantMap>

// The person as the desktop's online accounts know them, asked over the session bus. The service
// is only asked when it is already running: it is never started for this, and an answer that
// does not come within the timeout counts as none.
namespace OnlineAccountsIdentity {

// One account object: its interfaces by name, each with its properties.
using AccountObject = QMap<QString, QVariantMap>;

// The first account (in object path order) that has mail switched on and an address or a name:
// the mail interface's Name and EmailAddress, else the account's presentation identity when it is
// an address.
PersonIdentity fromAccounts(const QMap<QString, AccountObject>& accounts);

// Nothing when the service is not on the bus, does not answer in `timeoutMilliseconds` or
// answers with something else (`problem` says which of the last two).
PersonIdentity read(int timeoutMilliseconds, QString* problem);

} // namespace OnlineAccountsIdentity
