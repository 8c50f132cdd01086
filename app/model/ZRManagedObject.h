#pragma once

#include "ExportField.h"
#include "persistence/ManagedObject.h"

#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <QString>

// The base of the catalogue's entity classes. It carries the copy protocol that moves a whole
// library from one store into another (upgrades, exports, imports): each object copies its
// attributes by name and re-links its relationships through a reference map shared by the whole
// copy run, so the order in which objects are copied does not matter.
class ZRManagedObject : public Persistence::ManagedObject
{
public:
    // Source identifier URI text -> the object copied from it.
    using ReferenceMap = QHash<QString, Persistence::ManagedObject*>;

    // Fills this new object from `source` (an object of another context, possibly of an older
    // model) and records it in `reference`. False when a value could not be taken over.
    virtual bool copyFromManagedObject(Persistence::ManagedObject* source, ReferenceMap& reference);
    // Links this object to the copies, already in `reference`, of the objects `source` is related
    // to; links to objects not copied yet are made when they are copied, through the inverse.
    virtual bool copyRelationshipsFromManagedObject(Persistence::ManagedObject* source, ReferenceMap& reference);

    // The object's line of the delimited export, without the line end: the values of the active
    // fields in order, separated by `delimiter` (also around empty values). Text is wrapped in double
    // quotes with every double quote inside turned into an apostrophe; numbers are written unquoted
    // in the locale's form without digit grouping (quoted only when that form contains the
    // delimiter); dates in the locale's short date form, quoted.
    QString delimitedValuesByOrderedKeyPaths(const ExportFieldList& fields, const QString& delimiter,
                                             const QLocale& locale = QLocale()) const;
    // The value the delimited export writes for a key path; entity classes answer derived keys.
    virtual QVariant exportValueForKeyPath(const QString& keyPath) const;
    // Whether this object's context writes to a store other than the library's own store file (an
    // export folder, an upgrade's new store).
    bool isExporting() const;

    // A new UUID in canonical text form with upper-case digits.
    static QString newUUIDString();

protected:
    // Copies every attribute of the source's entity that this entity has too, except `excluded`.
    bool copyAttributesFromManagedObject(Persistence::ManagedObject* source, const QSet<QString>& excluded = {});

    QString stringValue(const QString& key) const { return value(key).toString(); }
    QDateTime dateValue(const QString& key) const { return value(key).toDateTime(); }
};
