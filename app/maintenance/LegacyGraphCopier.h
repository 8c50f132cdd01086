#pragma once

#include "maintenance/ObjectGraphCopier.h"
#include "persistence/ObjectID.h"

#include <QList>
#include <QPair>
#include <QString>

// The copy of a legacy store (version 4 and below), whose attachments hold their bytes in the
// store: the records first, keeping at most one entity's records in memory, then each
// attachment's bytes written to its file one at a time. An attachment whose bytes cannot be
// written is counted and reported but never fails the copy.
class LegacyGraphCopier
{
public:
    LegacyGraphCopier(MigrationReporter& reporter, const CopyObjectHook& copyHook);
    LegacyGraphCopier(const LegacyGraphCopier&) = delete;
    LegacyGraphCopier& operator=(const LegacyGraphCopier&) = delete;

    bool copy(Persistence::ObjectContext* source, Persistence::ObjectContext* destination);

private:
    // An attachment of the source and the file its bytes go to.
    using PendingBytes = QList<QPair<Persistence::ObjectID, QString>>;

    bool copyLegacyRecords(Persistence::ObjectContext* source, Persistence::ObjectContext* destination,
                           PendingBytes* pending);
    void copyLegacyAttachmentBytes(Persistence::ObjectContext* source, const PendingBytes& pending);

    MigrationReporter& m_reporter;
    const CopyObjectHook& m_copyHook;
};
