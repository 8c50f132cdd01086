#pragma once

#include <QString>

// One thing the library check found wrong: what kind of problem it is, a sentence for the person,
// and the stored file and product it concerns (empty when there is none).
struct LibraryCheckFinding
{
    enum class Kind {
        DamagedStore, // the store file fails SQLite's integrity check or cannot be read
        StoreVersion, // the store was written by another version and must be opened once first
        MissingAttachmentFile, // an attached file whose stored bytes are gone (or were never stored)
        MissingIconFile, // an icon whose image file is gone
        OrphanedAttachmentFile, // a file in Attachments that no record names
        OrphanedIconFile, // a file in Icons that no record names
        BrokenReference, // a record names a record that does not exist
        InverseMismatch, // two records that should name each other do not
        UnownedRecord, // an attached file without product, content without attached file, icon without product
    };

    Kind kind;
    QString message;
    QString path;
    QString productUuid;
    QString productTitle;

    // The name of the kind in the JSON output ("missing-attachment-file", ...).
    static QString kindName(Kind kind);
};
