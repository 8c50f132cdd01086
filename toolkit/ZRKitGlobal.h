#pragma once

#include <QString>
#include <QVariant>

// Symbols of libZRKit.so that other modules use by name.
#define ZRKIT_EXPORT __attribute__((visibility("default")))

// The plain functions below keep C linkage so that they are found under their own names, but take
// and return Qt values: a null QVariant is the null placeholder that stands for an empty value
// inside collections, and QString, QByteArray and QVariantList convert to QVariant implicitly.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

extern "C" {

// Width of the arrow point of the back button, used by the drawing helpers.
ZRKIT_EXPORT extern const double ZRBackButtonTriangleWidth;

// True for null (the null placeholder) and for text of length 0. Only the length counts: blanks
// are not empty. A byte buffer is tested the same way; any other kind of value is not empty.
ZRKIT_EXPORT bool ZRIsEmptyString(const QVariant& value);

// True for null (the null placeholder) and for a byte buffer of length 0. Text is tested the same
// way; any other kind of value is not empty.
ZRKIT_EXPORT bool ZRIsEmptyData(const QVariant& value);

// True for null and for a list (QVariantList, QStringList or any other sequential container) with
// no elements. A value that is not a container is not empty.
ZRKIT_EXPORT bool ZRIsEmptyArray(const QVariant& value);

// True for null and for a set (QSet of any registered type, or a list standing for one) with no
// elements. A value that is not a container is not empty.
ZRKIT_EXPORT bool ZRIsEmptySet(const QVariant& value);

// "YES" or "NO".
ZRKIT_EXPORT QString ZRStringFromBOOL(bool value);
}

#if defined(__clang__)
#pragma clang diagnostic pop
#endif
