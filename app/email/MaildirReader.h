#pragma once

#include "MailStoreReader.h"

#include <QString>

// Reads a Maildir folder: the message files of cur/ and then new/, each in name order, then its
// Maildir++ subfolders (".Folder", ".Folder.Sub") in name order, leaving out Trash and Junk unless
// the options include them. Files that cannot be read are counted, never changed.
class MaildirReader
{
public:
    MaildirReader(QString path, const MailStoreReader::Options& options);

    // Whether the folder has cur/ or new/.
    static bool isMaildir(const QString& path);

    // Visits every message; false when the visitor asked to stop.
    bool read(const MailStoreReader::Visitor& visit, MailStoreReader::Counts& counts) const;

    // Only cur/ and new/ of the folder itself, without subfolders.
    bool readMessagesOnly(const MailStoreReader::Visitor& visit, MailStoreReader::Counts& counts) const;

private:
    bool readFolder(const QString& folder, const MailStoreReader::Visitor& visit,
                    MailStoreReader::Counts& counts) const;
    bool isSkipped(const QString& subfolderName) const;

    QString m_path;
    MailStoreReader::Options m_options;
};
