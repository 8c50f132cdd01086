#pragma once

#include "KMImportFileOperation.h"

#include <QVariantList>
#include <QVariantMap>

#include <optional>

class ProductEntity;

// Reads Keymoor's own product data file (".keymoor"): a property list (XML or binary) whose root is
// an array of dictionaries, one per product ("appName", "purchaseVersion", "registrationLicenseKey",
// "registrationEmail", "registrationName", "purchaseDate", "purchasePrice", "productURL", "notes",
// "publisher", "supportEmail", "orderNumber"). Every entry is added as a new product; the
// application named by its title, when installed, supplies bundle information and icon last. The
// products are saved together, in a context of their own.
class KMImportKeymoorDataFileOperation : public KMImportFileOperation
{
public:
    using KMImportFileOperation::KMImportFileOperation;

    // The entries of a product data file; nothing (with a log line) when it is no such file.
    static std::optional<QVariantList> plistForURL(const QString& path);
    // Fills a product from one entry.
    static void applyEntry(ProductEntity* product, const QVariantMap& entry, ApplicationLocator& locator);

protected:
    void main() override;
};
