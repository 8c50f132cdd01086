#include "YojimboImporter.h"

#include "base/KMRegex.h"
#include "base/Log.h"
#include "desktop/ApplicationLocator.h"
#include "model/ProductEntity.h"
#include "text/BoundedFile.h"

namespace {

const char* const RecognitionPatterns[] = {
    "Product Name:.*\\n", "Serial Number:.*\\n", "Owner Name:.*\\n", "Organization:.*\\n", "Comments:.*\\n",
};

} // namespace

std::optional<QString> YojimboImporter::readText(const QString& path)
{
    QString problem;
    return BoundedFile::readUtf8(path, MaximumFileSize, &problem);
}

bool YojimboImporter::fileIsYojimboExport(const QString& path)
{
    const std::optional<QString> text = readText(path);
    if (!text) {
        return false;
    }
    for (const char* pattern : RecognitionPatterns) {
        if (!KM_findWithRegEx(*text, QString::fromLatin1(pattern))) {
            return false;
        }
    }
    return true;
}

bool YojimboImporter::importProduct(ProductEntity* product, const QString& path, ApplicationLocator& locator)
{
    if (!product) {
        Log::write(QStringLiteral("YojimboImporter::importProduct: Product is required"));
        return false;
    }
    if (path.isEmpty()) {
        Log::write(QStringLiteral("YojimboImporter::importProduct: Path is required"));
        return false;
    }
    const std::optional<QString> text = readText(path);
    if (!text) {
        Log::write(QStringLiteral("YojimboImporter::importProduct: Unable to read the export file: %1").arg(path));
        return false;
    }
    const auto valueFor = [&text](const char* pattern) {
        return KM_findWithRegEx(*text, QString::fromLatin1(pattern)).value_or(QString());
    };
    const QString title = valueFor("Product Name: (.*)\\n");
    product->setTitle(title);
    product->setSerialNumber(valueFor("Serial Number: (.*)\\n"));
    product->setRegisteredName(valueFor("Owner Name: (.*)\\n"));
    product->setRegisteredCompany(valueFor("Organization: (.*)\\n"));
    product->setCommentsString(valueFor("Comments: (.*)\\n"));

    const QString appPath = title.isEmpty() ? QString() : locator.pathForApplication(title);
    if (!appPath.isEmpty()) {
        product->setExternalIconFromAppPath(appPath);
        product->setBundleInfoFromAppPath(appPath);
    }
    return true;
}
