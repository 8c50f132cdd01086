#pragma once

#include <QString>
#include <QStringList>

// The application's texts, looked up by key in the localization table (resources/Localizable.json).
// A key the table does not know answers the key itself, so a missing text shows up but never breaks.
QString localizedString(const QString& key);

// The localized text of `key` with %1, %2, ... replaced by `arguments` in one pass: an argument that
// itself contains "%2" is not replaced again. Unused placeholders stay as they are.
QString localizedFormat(const QString& key, const QStringList& arguments);

// Fills %1, %2, ... of any text the same way.
QString fillPlaceholders(const QString& format, const QStringList& arguments);
