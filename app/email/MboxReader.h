#pragma once

#include "MailStoreReader.h"

#include <QString>

#include <optional>

class MboxLineReader;

// Reads the messages of one mbox file, streaming: a message starts at a "From " line at the start
// of the file or after an empty line; ">From " lines lose one ">" (mboxrd); LF or CR LF line ends;
// Content-Length is not trusted. Only one message is held in memory at a time, and a message larger
// than the maximum size is skipped without keeping its bytes. The file is opened read-only.
class MboxReader
{
public:
    MboxReader(QString path, const MailStoreReader::Options& options);

    // Visits every message; false when the visitor asked to stop. When the file cannot be opened or
    // reading it fails, `error` says why.
    bool read(const MailStoreReader::Visitor& visit, MailStoreReader::Counts& counts, QString& error) const;

    // The message whose "From " line starts at the offset; nothing when there is none.
    std::optional<MailStoreMessage> messageAt(qint64 offset, qint64 index) const;

private:
    struct Split;

    // Splits from the current position of the line reader; `visit` answers false to stop.
    void split(MboxLineReader& lines, Split& state, const MailStoreReader::Visitor& visit,
               MailStoreReader::Counts& counts) const;

    QString m_path;
    MailStoreReader::Options m_options;
};
