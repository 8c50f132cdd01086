#include "import/ImportHeaderMatcher.h"

#include "base/Localization.h"
#include "import/ZRDelimitedTextParsing.h"
#include "maintenance/ExportOptions.h"
#include "model/ExportField.h"

#include <gtest/gtest.h>

namespace {

QStringList keyPaths(std::initializer_list<const char*> headers)
{
    QStringList names;
    for (const char* header : headers) {
        names.append(QString::fromUtf8(header));
    }
    return ImportHeaderMatcher::keyPathsForHeaders(names);
}

TEST(ImportHeaderMatcherTest, EveryHeaderTheExportWritesFindsItsOwnField)
{
    ExportFieldList fields;
    QStringList expected;
    for (const auto& [keyPath, labelKey] : exportableKeyPathLabelKeys()) {
        fields.append(ExportField {localizedString(labelKey), keyPath, true});
        expected.append(keyPath);
    }
    const QString line = ExportOptions::headerLine(fields, QStringLiteral(","));
    // Read with the quote the export uses, and without one (the quotes then stay in the names).
    for (const QChar quote : {QChar(u'"'), QChar()}) {
        const DelimitedRows rows = scannedRowsWithRecordDelimter(line, QStringLiteral("\n"), QStringLiteral(","),
                                                                 quote.isNull() ? QString() : QString(quote));
        ASSERT_EQ(rows.size(), 1);
        QStringList headers;
        for (const DelimitedField& name : rows.first()) {
            headers.append(name.value_or(QString()));
        }
        EXPECT_EQ(ImportHeaderMatcher::keyPathsForHeaders(headers), expected) << "quote " << int(quote.unicode());
    }
}

TEST(ImportHeaderMatcherTest, CommonNamesMatchWhateverTheirCaseSpacingAndPunctuation)
{
    EXPECT_EQ(
        keyPaths({"product name", "SERIAL", "Licence Key", " Version ", "Developer", "Registered To", "E-mail",
                  "purchase_date", "Price", "NOTES", "Licence Type", "Expires"}),
        (QStringList {"title", "serialNumber", "", "productVersion", "publisher", "registeredName", "registeredEmail",
                      "purchaseDate", "purchasePrice", "commentsString", "licenseType", "expiryDate"}));
    EXPECT_EQ(ImportHeaderMatcher::keyPathForHeader(QStringLiteral("Vendor")), QStringLiteral("publisher"));
    EXPECT_EQ(ImportHeaderMatcher::keyPathForHeader(QStringLiteral("Name")), QStringLiteral("registeredName"));
    EXPECT_EQ(ImportHeaderMatcher::keyPathForHeader(QStringLiteral("Support E-mail")), QStringLiteral("productEmail"));
}

TEST(ImportHeaderMatcherTest, UnknownBlankAndRepeatedNamesStayUnmapped)
{
    EXPECT_EQ(keyPaths({"Shop", "", "  ", "--", "Title", "Product", "Colour"}),
              (QStringList {"", "", "", "", "title", "", ""}));
    EXPECT_TRUE(ImportHeaderMatcher::keyPathForHeader(QStringLiteral("Serial Numbers Two")).isEmpty());
}

} // namespace
