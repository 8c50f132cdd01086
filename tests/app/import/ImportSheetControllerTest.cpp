#include "../model/AttachmentTestLibrary.h"
#include "base/Localization.h"
#include "import/ZRImportSheetController.h"
#include "maintenance/ZRDataMigrator.h"
#include "model/ExportField.h"
#include "support/TestData.h"

namespace {

using Pane = ZRImportSheetController::Pane;

class ImportSheetControllerTest : public AttachmentTestLibrary
{
protected:
    QStringList sources() const
    {
        QStringList values;
        for (const auto& field : m_sheet.parsedFields()) {
            values.append(field.source.value_or(QStringLiteral("~")));
        }
        return values;
    }
    QStringList destinations() const
    {
        QStringList labels;
        for (const auto& field : m_sheet.parsedFields()) {
            labels.append(field.destination);
        }
        return labels;
    }
    static QString label(const char* key) { return localizedString(QString::fromLatin1(key)); }

    ZRImportSheetController m_sheet;
};

TEST_F(ImportSheetControllerTest, ThePreviewShowsTheFirstDataRowAndKeepsTheMappingWhileTheColumnsStay)
{
    const QString path = writeFile(QStringLiteral("list.csv"), "Title,Serial,Price\nAlpha,A-1,9.95\nBeta,B-1,\n");
    m_sheet.setImportTextFile(path);
    EXPECT_EQ(sources(), (QStringList {QStringLiteral("Title"), QStringLiteral("Serial"), QStringLiteral("Price")}));
    EXPECT_FALSE(m_sheet.canImport(Pane::Text));

    m_sheet.setDestination(0, label("ExportTitle"));
    m_sheet.setDestination(1, label("ExportSerialNumber"));
    m_sheet.setDestination(2, label("ExportPurchasePrice"));
    m_sheet.setImportTextHasHeaderRow(true);
    EXPECT_EQ(sources(), (QStringList {QStringLiteral("Alpha"), QStringLiteral("A-1"), QStringLiteral("9.95")}));
    EXPECT_EQ(m_sheet.importMapping(),
              (QStringList {QStringLiteral("title"), QStringLiteral("serialNumber"), QStringLiteral("purchasePrice")}));
    EXPECT_TRUE(m_sheet.canImport(Pane::Text));

    // Another delimiter cuts other columns: the mapping starts over.
    m_sheet.setTextFieldDelimiter(QStringLiteral("Semicolon"));
    EXPECT_EQ(sources(), QStringList {QStringLiteral("Alpha,A-1,9.95")});
    EXPECT_EQ(destinations(), QStringList {ProductEntity::DontImportKey});
    m_sheet.setTextFieldDelimiter(QStringLiteral("Comma"));
    m_sheet.setDestination(0, label("ExportTitle"));
    m_sheet.setDestination(1, label("ExportSerialNumber"));

    const int before = count(QStringLiteral("Product"));
    EXPECT_TRUE(m_sheet.import(Pane::Text, m_delegate->imports()));
    m_delegate->imports().text().waitForTextImports();
    EXPECT_EQ(count(QStringLiteral("Product")), before + 2);
}

TEST_F(ImportSheetControllerTest, ChoicesFollowTheirColumnsWhenQuoteOrDelimitersChangeTheColumns)
{
    // Without a quote, the first title splits in two and the header names keep their quotes.
    m_sheet.setImportTextFile(writeFile(QStringLiteral("shop.txt"),
                                        "\"Product Name\";\"Serial Number\";\"Shop\";"
                                        "\"Notes\"\n\"Orbit; Clock\";OC-1;Web;fine\n"));
    m_sheet.setTextFieldDelimiter(QStringLiteral("Semicolon"));
    m_sheet.setImportTextHasHeaderRow(true);
    EXPECT_EQ(destinations(),
              (QStringList {label("ExportTitle"), label("ExportSerialNumber"), ProductEntity::DontImportKey,
                            label("ExportNotes"), ProductEntity::DontImportKey}));
    m_sheet.setDestination(2, label("ExportPurchaseOrderNumber"));
    m_sheet.setDestination(3, ProductEntity::DontImportKey); // chosen, so it stays so

    m_sheet.setFieldQuote(QStringLiteral("Double Quote"));
    EXPECT_EQ(sources(),
              (QStringList {QStringLiteral("Orbit; Clock"), QStringLiteral("OC-1"), QStringLiteral("Web"),
                            QStringLiteral("fine")}));
    QStringList chosen {label("ExportTitle"), label("ExportSerialNumber"), label("ExportPurchaseOrderNumber"),
                        ProductEntity::DontImportKey};
    EXPECT_EQ(destinations(), chosen);

    // Without a header row the columns keep their fields by position while their number stays;
    // turning it on again fills the columns left over from the header.
    m_sheet.setImportTextHasHeaderRow(false);
    EXPECT_EQ(destinations(), chosen);
    m_sheet.setImportTextHasHeaderRow(true);
    EXPECT_EQ(destinations(),
              (QStringList {label("ExportTitle"), label("ExportSerialNumber"), label("ExportPurchaseOrderNumber"),
                            label("ExportNotes")}));
    // A new file starts over, matched to its own header row only.
    m_sheet.setImportTextFile(writeFile(QStringLiteral("other.csv"), "Developer,Name\nOrbit Works,Ada\n"));
    m_sheet.setTextFieldDelimiter(QStringLiteral("Comma"));
    EXPECT_EQ(destinations(), (QStringList {label("ExportPublisher"), label("ExportRegisteredName")}));
    EXPECT_EQ(m_sheet.headerNames(), (QStringList {QStringLiteral("Developer"), QStringLiteral("Name")}));
}

TEST_F(ImportSheetControllerTest, AnExportedFileImportsAgainWithoutChoosingAColumn)
{
    ZRDataMigrator* migrator = m_delegate->dataMigrator();
    ExportFieldList fields = migrator->exportFields();
    QStringList keyPaths;
    for (ExportField& field : fields) {
        field.active = true;
        keyPaths.append(field.keyPath);
    }
    migrator->setExportFields(fields);
    migrator->setIncludeHeadersInTextExport(true);
    migrator->setExportAsCommaSeparated(true);
    m_product->setSerialNumber(QStringLiteral("NN-1"));
    ASSERT_TRUE(m_delegate->saveAction());
    const QString written = migrator->performBackgroundTextExportToPath(m_scratch.filePath(QStringLiteral("all.txt")));
    ASSERT_FALSE(written.isEmpty());

    m_sheet.setFieldQuote(QStringLiteral("Double Quote"));
    m_sheet.setImportTextHasHeaderRow(true);
    m_sheet.setImportTextFile(written);
    EXPECT_EQ(m_sheet.importMapping(), keyPaths);
    EXPECT_TRUE(m_sheet.canImport(Pane::Text));
}

TEST_F(ImportSheetControllerTest, ColumnsWithoutAKnownDestinationAreNotImported)
{
    m_sheet.setImportTextFile(writeFile(QStringLiteral("two.csv"), "Gamma,G-1\n"));
    m_sheet.setDestination(0, label("ExportTitle"));
    m_sheet.setDestination(1, QStringLiteral("No Such Field"));
    EXPECT_EQ(m_sheet.importMapping(), (QStringList {QStringLiteral("title"), ProductEntity::DontImportKey}));

    m_sheet.setImportTextFile(writeFile(QStringLiteral("latin1.csv"), "Caf\xE9\n"));
    EXPECT_TRUE(m_sheet.parsedFields().isEmpty());
    EXPECT_FALSE(m_sheet.previewProblem().isEmpty());
}

TEST_F(ImportSheetControllerTest, TheXmlTemplateChoosesTheReader)
{
    m_sheet.setImportXMLFile(testDataPath("/import/shelf.appshelf"));
    EXPECT_FALSE(m_sheet.canImport(Pane::XML));
    EXPECT_FALSE(m_sheet.import(Pane::XML, m_delegate->imports()));
    m_sheet.setSelectedXMLTemplate(QStringLiteral("AppShelf"));
    ASSERT_TRUE(m_sheet.import(Pane::XML, m_delegate->imports()));
    m_delegate->waitForFileImports();
    EXPECT_EQ(m_product->serialNumber(), QStringLiteral("NN-UPDATED"));

    QString folder;
    bool replace = true;
    m_sheet.setImportKeymoorXMLFile(QStringLiteral("/exports/Keymoor Export"));
    EXPECT_TRUE(m_sheet.import(Pane::Keymoor, m_delegate->imports(), [&](const QString& path, bool replacing) {
        folder = path;
        replace = replacing;
    }));
    EXPECT_EQ(folder, QStringLiteral("/exports/Keymoor Export"));
    EXPECT_FALSE(replace);
}

} // namespace
