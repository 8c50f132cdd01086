#pragma once

#include "maintenance/LibraryCheckTables.h"

#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

#include <optional>

namespace Persistence {
class SqliteDatabase;
}

// The records of a library that name stored files, with their references, as read straight from
// the store's tables (so that references to records that do not exist are seen as they are).
class LibraryCheckSnapshot
{
public:
    using Key = qint64;
    using Ref = std::optional<Key>;

    struct Product
    {
        QString uuid;
        QString title;
        Ref icon;
    };
    struct AttachedFile
    {
        QString name;
        Ref product;
        Ref content;
    };
    struct Content
    {
        QString uuid;
        Ref attachment;
    };
    struct Icon
    {
        QString uuid;
        Ref product;
    };

    // A reference that names no record (dangling), or a record that does not name this one back.
    struct LinkProblem
    {
        LibraryCheckLink link;
        Key row;
        Key target;
        bool dangling;
    };

    // A record that cannot stay as it is: its stored file is missing, or it belongs to nothing.
    struct RecordProblem
    {
        enum class Reason {
            FileWithoutProduct,
            FileWithoutContent,
            FileMissing,
            ContentWithoutAttachment,
            IconWithoutProduct,
            IconFileMissing
        };
        Reason reason;
        Key row;
    };

    // Reads the records; nothing, with `error` filled, when the tables cannot be read.
    static std::optional<LibraryCheckSnapshot> read(Persistence::SqliteDatabase& db, const LibraryCheckTables& tables,
                                                    QString* error);

    QMap<Key, Product> products;
    QMap<Key, AttachedFile> files;
    QMap<Key, Content> contents;
    QMap<Key, Icon> icons;

    // The reference `link` of record `row` (a record of the link's entity).
    Ref get(LibraryCheckLink link, Key row) const;
    void set(LibraryCheckLink link, Key row, Ref target);
    // The records that hold `link`, and whether `key` is a record the link may name.
    QList<Key> rowsOf(LibraryCheckLink link) const;
    bool targetExists(LibraryCheckLink link, Key key) const;
    // The other side of a one-to-one pair; nothing for an attached file's product.
    static std::optional<LibraryCheckLink> inverseOf(LibraryCheckLink link);
    static const QList<LibraryCheckLink>& allLinks();

    QList<LinkProblem> linkProblems() const;
    // `attachmentNames` and `iconNames`: the entries of the Attachments and Icons folders.
    QList<RecordProblem> recordProblems(const QSet<QString>& attachmentNames, const QSet<QString>& iconNames) const;

    QSet<QString> contentUuids() const;
    QSet<QString> iconUuids() const;

    // The product an attached file, a content or an icon belongs to (through valid references).
    const Product* productOfFile(Key file) const;
    const Product* productOfContent(Key content) const;
    const Product* productOfIcon(Key icon) const;
};
