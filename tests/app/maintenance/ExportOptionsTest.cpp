#include "maintenance/ExportOptions.h"

#include "prefs/UserDefaults.h"
#include "prefs/UserPreferences.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ExportOptionsTest : public ::testing::Test
{
protected:
    static int chosenCount(const ExportOptions& options)
    {
        return int(options.exportAsCommaSeparated()) + int(options.exportAsTabDelimited())
            + int(options.exportWithCustomDelimiter());
    }
    static const ExportField& field(const ExportFieldList& fields, const QString& keyPath)
    {
        for (const ExportField& candidate : fields) {
            if (candidate.keyPath == keyPath) {
                return candidate;
            }
        }
        static const ExportField none;
        ADD_FAILURE() << "no field " << keyPath.toStdString();
        return none;
    }

    QTemporaryDir m_dir;
    UserDefaults m_defaults {m_dir.filePath(QStringLiteral("Keymoor.conf"))};
    UserPreferences m_prefs {m_defaults};
};

} // namespace

TEST_F(ExportOptionsTest, TurningTheChosenDelimiterOffChoosesTheFirstOfTheOthersAndAnyOtherOffChangesNothing)
{
    struct Case
    {
        const char* name;
        void (ExportOptions::*choose)(bool);
        void (ExportOptions::*turnOff)(bool);
        QString expected;
    };
    const Case cases[] = {
        {"comma off", &ExportOptions::setExportAsCommaSeparated, &ExportOptions::setExportAsCommaSeparated, "\t"},
        {"tab off", &ExportOptions::setExportAsTabDelimited, &ExportOptions::setExportAsTabDelimited, ","},
        {"custom off", &ExportOptions::setExportWithCustomDelimiter, &ExportOptions::setExportWithCustomDelimiter, ","},
        {"other off", &ExportOptions::setExportWithCustomDelimiter, &ExportOptions::setExportAsTabDelimited, "|"},
        {"other off", &ExportOptions::setExportAsTabDelimited, &ExportOptions::setExportAsCommaSeparated, "\t"},
    };
    for (const Case& test : cases) {
        ExportOptions options(&m_prefs);
        options.setCustomDelimiter(QStringLiteral("|"));
        (options.*test.choose)(true);
        (options.*test.turnOff)(false);
        EXPECT_EQ(options.delimiter(), test.expected) << test.name;
        EXPECT_EQ(chosenCount(options), 1) << test.name;
    }
}

TEST_F(ExportOptionsTest, TheFieldsAreReadOnceFromThePreferenceAndWrittenBackWithoutLosingOtherKeys)
{
    m_prefs.setActiveExportValues(
        {{QStringLiteral("title"), false}, {QStringLiteral("publisher"), true}, {QStringLiteral("keptKeyPath"), true}});
    ExportOptions options(&m_prefs);
    ExportFieldList fields = options.exportFields();
    ASSERT_EQ(fields.size(), 22);
    EXPECT_FALSE(field(fields, QStringLiteral("title")).active);
    EXPECT_TRUE(field(fields, QStringLiteral("publisher")).active);
    EXPECT_FALSE(field(fields, QStringLiteral("serialNumber")).active); // not in the preference: off

    // The sheet's list stays what it was made from until it is set.
    m_prefs.setActiveExportValues({{QStringLiteral("title"), true}, {QStringLiteral("keptKeyPath"), true}});
    EXPECT_FALSE(field(options.exportFields(), QStringLiteral("title")).active);

    for (ExportField& each : fields) {
        each.active = each.keyPath == u"serialNumber";
    }
    options.setExportFields(fields);
    options.saveActiveExportFields();
    const QVariantMap saved = m_prefs.activeExportValues();
    EXPECT_TRUE(saved.value(QStringLiteral("serialNumber")).toBool());
    EXPECT_FALSE(saved.value(QStringLiteral("title")).toBool());
    EXPECT_TRUE(saved.value(QStringLiteral("keptKeyPath")).toBool());
    EXPECT_TRUE(field(ExportOptions(&m_prefs).exportableProductKeyPaths(), QStringLiteral("serialNumber")).active);

    // Without preferences no field is active and nothing is remembered.
    ExportOptions detached(nullptr);
    for (const ExportField& each : detached.exportFields()) {
        EXPECT_FALSE(each.active) << each.keyPath.toStdString();
    }
    detached.saveActiveExportFields();
}
