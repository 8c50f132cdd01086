#pragma once

#include "ForeignReadResult.h"
#include "persistence/ObjectID.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace Persistence {
class ObjectContext;
}

// What importing the records would do to the catalogue, worked out before anything is written:
// the preview of the window's sheet and of `keymoor import --dry-run`, then the list the import
// follows.
//
// A record is matched with the products of the same title, ignoring case:
// - one of them has the same serial number (both empty counts as the same): "already there", and
//   nothing is changed;
// - the record has a serial number and one of them has none: that product is updated (its empty
//   fields are filled, the serial number among them); it was catalogued before its licence was;
// - otherwise (no such title; or a different serial number, a second licence of the same
//   software; or no serial number while every product of the title has one): a new product.
// Records earlier in the same import count as products, so a file that lists one licence twice
// adds it once.
struct ForeignImportPlan
{
    enum class Action { Add, Update, AlreadyThere };
    struct Item
    {
        ForeignRecord record;
        Action action = Action::Add;
        Persistence::ObjectID product; // the product updated or already there
    };

    QList<Item> items;
    QStringList formats; // the readers of the files, in order
    QStringList warnings;
    int skippedNotLicence = 0;

    int count(Action action) const;
    // Matches every record of the result with the catalogue of the context (read on the calling
    // thread). False (with the reason) when the catalogue cannot be read.
    static bool make(const ForeignReadResult& read, Persistence::ObjectContext* context, ForeignImportPlan* plan,
                     QString* error);
};
