#include "maintenance/LibraryCheckFinding.h"

QString LibraryCheckFinding::kindName(Kind kind)
{
    switch (kind) {
    case Kind::DamagedStore:
        return QStringLiteral("damaged-store");
    case Kind::StoreVersion:
        return QStringLiteral("store-version");
    case Kind::MissingAttachmentFile:
        return QStringLiteral("missing-attachment-file");
    case Kind::MissingIconFile:
        return QStringLiteral("missing-icon-file");
    case Kind::OrphanedAttachmentFile:
        return QStringLiteral("orphaned-attachment-file");
    case Kind::OrphanedIconFile:
        return QStringLiteral("orphaned-icon-file");
    case Kind::BrokenReference:
        return QStringLiteral("broken-reference");
    case Kind::InverseMismatch:
        return QStringLiteral("inverse-mismatch");
    case Kind::UnownedRecord:
        return QStringLiteral("unowned-record");
    }
    return QString();
}
