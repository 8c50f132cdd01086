#pragma once

#include "persistence/ObjectID.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <memory>

namespace Persistence {
class StoreCoordinator;
}

// One attach job: copies files into the library and attaches them to one product, in an object
// context of its own over the main store coordinator, so it can run on any thread. It hands its
// results back as object identifiers, never objects.
class KMAttachmentImporter
{
public:
    // Called on the importer's thread when import() is done.
    using Completion = std::function<void(KMAttachmentImporter* importer)>;

    KMAttachmentImporter(const Persistence::ObjectID& productID, const QStringList& files,
                         std::shared_ptr<Persistence::StoreCoordinator> coordinator, Completion completion);
    ~KMAttachmentImporter();
    KMAttachmentImporter(const KMAttachmentImporter&) = delete;
    KMAttachmentImporter& operator=(const KMAttachmentImporter&) = delete;

    // Runs the job on the calling thread: each file becomes an e-mail attachment when the e-mail
    // file test says so, else a file attachment; files that cannot be stored are left out. The
    // context is saved (a failure is logged; the identifiers are still reported), then the
    // completion is called.
    void import();

    Persistence::ObjectID productID() const { return m_productID; }
    QStringList files() const { return m_files; }
    // The identifiers of the attachments made, in file order; empty before import().
    QList<Persistence::ObjectID> importedIDs() const { return m_importedIDs; }
    bool saved() const { return m_saved; }

private:
    Persistence::ObjectID m_productID;
    QStringList m_files;
    std::shared_ptr<Persistence::StoreCoordinator> m_coordinator;
    Completion m_completion;
    QList<Persistence::ObjectID> m_importedIDs;
    bool m_saved = false;
};
