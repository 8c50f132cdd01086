#pragma once

#include "maintenance/LibraryCheckSnapshot.h"

#include <QList>
#include <QMap>
#include <QPair>

// What the repair changes in the store, worked out on a snapshot: references mended so that every
// one names an existing record and both sides of a pair name each other, then the records that
// still cannot stay (stored file missing, belonging to nothing) with what removing them takes along.
class LibraryRepairPlan
{
public:
    using Key = LibraryCheckSnapshot::Key;
    using Ref = LibraryCheckSnapshot::Ref;
    using ReferenceChanges = QMap<QPair<LibraryCheckLink, Key>, Ref>;

    // Mends the references of `snapshot` in place and answers the changes made.
    static ReferenceChanges mendReferences(LibraryCheckSnapshot& snapshot);

    struct Removal
    {
        QList<Key> files;
        QList<Key> contents;
        QList<Key> icons;
        // Products whose icon goes: their reference to it is cleared.
        QList<Key> productsLosingIcon;

        // The records the person knows of: attached files and icons, and contents that go on their own.
        int count = 0;
    };

    // The records to remove for `problems` of a mended snapshot; an attached file takes its content along.
    static Removal removalFor(const LibraryCheckSnapshot& snapshot,
                              const QList<LibraryCheckSnapshot::RecordProblem>& problems);

private:
    static void mendPair(LibraryCheckSnapshot& snapshot, LibraryCheckLink link, ReferenceChanges& changes);
    static void set(LibraryCheckSnapshot& snapshot, LibraryCheckLink link, Key row, Ref target,
                    ReferenceChanges& changes);
};
