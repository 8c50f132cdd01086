#pragma once

#include "ZRKitGlobal.h"

#include <QStringList>
#include <QVariant>
#include <QVariantList>

// Operations on lists.

// The element at index 0, or null (an invalid QVariant, a null QString) for an empty list.
ZRKIT_EXPORT QVariant ZR_firstObject(const QVariantList& receiver);
ZRKIT_EXPORT QString ZR_firstObject(const QStringList& receiver);

// True as soon as one element of `other` is contained in the receiver (by equality); false for an
// empty `other`.
ZRKIT_EXPORT bool ZR_containsAtLeastOneObjectInArray(const QVariantList& receiver, const QVariantList& other);
ZRKIT_EXPORT bool ZR_containsAtLeastOneObjectInArray(const QStringList& receiver, const QStringList& other);
