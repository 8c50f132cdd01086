#pragma once

#include <QString>

class UserInterface;

// A helper program of that name is not installed: logs it and tells the person (when there is
// someone to tell) with the "Missing Script" alert. Both the mail-program imports and the import of
// a catalogue program's records run helpers.
void showMissingScriptAlert(UserInterface* ui, const QString& helperName);
