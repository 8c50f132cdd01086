#pragma once

#include "persistence/ObjectModel.h"
#include "persistence/PersistentStore.h"

#include <QString>

#include <memory>

// The model version of store files and the object model that reads each version. Every store
// carries its version in its metadata under "ZRModelVersion"; the application's property list
// carries the version this build writes.
class StoreVersionReader
{
public:
    // "ZRModelVersion" of the application's property list.
    static int currentModelVersion();
    // "ZRModelVersion" of the store's metadata, read without opening the store; 0 when the store
    // has none or cannot be read (logged).
    static int versionForStoreURL(const QString& path);
    // The model resource name of a version: "Keymoor_DataModel" for the current one, else the
    // name followed by the number ("Keymoor_DataModel5").
    static QString pathForObjectModelForVersion(int version);
    // The model that reads stores of `version`. Legacy versions without a model of their own (0 is
    // what an unreadable store gives) are read with the newest legacy model.
    static std::shared_ptr<const Persistence::ObjectModel> managedObjectModelForVersion(int version);
    // SQLite or XML, judged by the file's content; for a file that does not exist (yet), XML when
    // its extension is "xml" in any case, else SQLite.
    static Persistence::StoreType storeTypeForURL(const QString& path);

    // Versions up to this one predate the library folder.
    static constexpr int LastLegacyVersion = 4;
    static QString resourcePath(const QString& name);
};
