#pragma once

#include <QString>

#include <optional>

class ApplicationLocator;
class ProductEntity;

// Reads the text files that Yojimbo exports for a serial-number item: UTF-8 text with the labelled
// lines "Product Name:", "Serial Number:", "Owner Name:", "Organization:" and "Comments:". A value
// runs from after "Label: " to the end of its line; only the first line of each label counts.
class YojimboImporter
{
public:
    // Exports are a few lines long; larger files are not read (nor taken for exports), so a drop of
    // a big log file cannot stall the window.
    static constexpr qint64 MaximumFileSize = 1024 * 1024;

    // Whether the file is such an export: readable UTF-8 text in which all five labels start a line
    // that ends with a line break. False for a missing, unreadable or oversized file.
    static bool fileIsYojimboExport(const QString& path);

    // Fills the product from the export: title, "serialNumber", "registeredName",
    // "registeredCompany" and the notes (a label without a value gives an empty value). When the
    // title names an installed application, its icon and bundle information follow. Nothing is
    // saved. False (logged, product unchanged) without a product or a path, or when the file cannot
    // be read.
    static bool importProduct(ProductEntity* product, const QString& path, ApplicationLocator& locator);

private:
    static std::optional<QString> readText(const QString& path);
};
