#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class MailScriptHelper;

// What a mail-client helper hands over for the messages selected in the mail client: the raw text of
// each message, and the names of their attached files, saved by the helper into a folder we give it.
struct MailClientSelection
{
    std::optional<QStringList> messageTexts; // nothing when the mail client did not answer
    std::optional<QStringList> attachmentNames; // names inside the folder; nothing when none were saved
};

// Asks one helper for the selection ("getSelectedMailCount", then "getSelectedMailBodies" when the
// count answered, then "getSelectedMailAttachment" with the folder). Runs on any thread; touches no
// catalogue objects.
class MailClientImport
{
public:
    static MailClientSelection fetchSelection(MailScriptHelper& helper, const QString& helperPath,
                                              const QString& attachmentFolder);

    // The paths to attach for the helper's attachment names, in order: names that are empty, "Mail"
    // (the mail client's own placeholder) or not a plain file name (so nothing outside the folder
    // can be reached) are left out.
    static QStringList attachmentPaths(const QStringList& names, const QString& attachmentFolder);
};
