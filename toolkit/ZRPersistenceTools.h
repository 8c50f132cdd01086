#pragma once

#include "ZRKitGlobal.h"
#include "persistence/ObjectContext.h"
#include "persistence/Predicate.h"

#include <QString>
#include <QVariant>

#include <optional>

// Queries on an object context and flag values of managed objects.

// All objects of the named entity (sub-entities included), in the store's order. Nothing when no
// entity has that name; a failing fetch logs the error's description and answers nothing.
ZRKIT_EXPORT std::optional<Persistence::ObjectList> ZR_fetchAllForEntityName(Persistence::ObjectContext& context,
                                                                             const QString& entityName,
                                                                             Persistence::StoreError* error = nullptr);

// The objects of the named entity that match `predicate`: a Predicate, or a format string whose
// arguments follow in `arguments`; an invalid QVariant means all objects. Any other kind of value
// is a programming error: it asserts in debug builds and answers nothing with the message
// "Second parameter passed to ZR_fetchObjectsForEntityName is of unexpected class <type>".
ZRKIT_EXPORT std::optional<Persistence::ObjectList>
ZR_fetchObjectsForEntityName(Persistence::ObjectContext& context, const QString& entityName,
                             const QVariant& predicate = QVariant(), const QVariantList& arguments = {},
                             Persistence::StoreError* error = nullptr);
ZRKIT_EXPORT std::optional<Persistence::ObjectList>
ZR_fetchObjectsForEntityName(Persistence::ObjectContext& context, const QString& entityName,
                             const Persistence::Predicate& predicate, Persistence::StoreError* error = nullptr);

// Stores a flag as a boolean directly in the object's stored value for `key`, past any setter
// the object's class has; the change is tracked and undoable like any other.
ZRKIT_EXPORT bool ZR_setBoolValue(Persistence::ManagedObject* object, bool value, const QString& key);
// Reads the stored value for `key` directly; no value reads as false.
ZRKIT_EXPORT bool ZR_boolValueForKey(const Persistence::ManagedObject* object, const QString& key);
