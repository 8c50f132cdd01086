#pragma once

#include <QList>
#include <QString>
#include <QVariantMap>

// The two entries the application adds to the system profile of an update check. Each entry has
// the fields "key", "displayKey", "value" and "displayValue":
//   "prettyAppVersion" / "Application Version" / the application's version text;
//   "defaultEmailReader" / "Email Reader" / the default mail program, "Unknown" when empty.
QList<QVariantMap> updateProfileEntries(const QString& prettyAppVersion, const QString& defaultEmailReader);
