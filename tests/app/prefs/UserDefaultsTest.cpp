#include "prefs/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString fileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class UserDefaultsTest : public ::testing::Test
{
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("Keymoor/Keymoor.conf")); }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(UserDefaultsTest, RegisteredValuesAreNeverWritten)
{
    {
        UserDefaults defaults(path());
        defaults.registerDefaults({{QStringLiteral("Registered Key"), QStringLiteral("registered")}});
        EXPECT_EQ(defaults.value(QStringLiteral("Registered Key")), QStringLiteral("registered"));
        EXPECT_FALSE(defaults.hasUserValue(QStringLiteral("Registered Key")));
        ASSERT_TRUE(defaults.setValue(QStringLiteral("Other"), 5));
    }
    EXPECT_FALSE(fileText(path()).contains(QLatin1String("Registered")));
    UserDefaults reopened(path());
    EXPECT_FALSE(reopened.value(QStringLiteral("Registered Key")).isValid());
}

TEST_F(UserDefaultsTest, AUserValueOverridesAndRemovingItBringsTheDefaultBack)
{
    UserDefaults defaults(path());
    const QString key = QStringLiteral("Import File Path");
    defaults.registerDefaults({{key, QStringLiteral("~/Desktop")}});
    ASSERT_TRUE(defaults.setValue(key, QStringLiteral("/srv/files")));
    EXPECT_EQ(defaults.stringValue(key), QStringLiteral("/srv/files"));
    // Registering again (the next launch) does not hide the user's value.
    defaults.registerDefaults({{key, QStringLiteral("~/Desktop")}});
    EXPECT_EQ(defaults.stringValue(key), QStringLiteral("/srv/files"));
    ASSERT_TRUE(defaults.removeValue(key));
    EXPECT_EQ(defaults.stringValue(key), QStringLiteral("~/Desktop"));
    EXPECT_FALSE(defaults.hasUserValue(key));
}

// Values read are kept until something changes, through this store or another one of the process.
TEST_F(UserDefaultsTest, ReadsFollowEveryChangeMadeInTheProcess)
{
    UserDefaults first(path());
    const QString key = QStringLiteral("Default User Info");
    first.registerDefaults({{key, true}});
    EXPECT_TRUE(first.boolValue(key));
    first.registerDefaults({{key, false}});
    EXPECT_FALSE(first.boolValue(key));

    UserDefaults second(path());
    ASSERT_TRUE(second.setValue(key, true));
    EXPECT_TRUE(first.boolValue(key));
    ASSERT_TRUE(second.removeValue(key));
    EXPECT_FALSE(first.boolValue(key));
    first.unregisterDefault(key);
    EXPECT_FALSE(first.value(key).isValid());
}

TEST_F(UserDefaultsTest, ValuesComeBackWithTheTypeOfTheirDefault)
{
    {
        UserDefaults defaults(path());
        ASSERT_TRUE(defaults.setValue(QStringLiteral("Flag"), false));
        ASSERT_TRUE(defaults.setValue(QStringLiteral("Seconds"), 30.5));
        ASSERT_TRUE(defaults.setValue(QStringLiteral("Count"), 12));
    }
    UserDefaults defaults(path());
    defaults.registerDefaults(
        {{QStringLiteral("Flag"), true}, {QStringLiteral("Seconds"), 60.0}, {QStringLiteral("Count"), qlonglong(1)}});
    const QVariant flag = defaults.value(QStringLiteral("Flag"));
    EXPECT_EQ(flag.typeId(), QMetaType::Bool);
    EXPECT_FALSE(flag.toBool());
    EXPECT_FALSE(defaults.boolValue(QStringLiteral("Flag")));
    EXPECT_EQ(defaults.value(QStringLiteral("Seconds")).typeId(), QMetaType::Double);
    EXPECT_DOUBLE_EQ(defaults.doubleValue(QStringLiteral("Seconds")), 30.5);
    EXPECT_EQ(defaults.value(QStringLiteral("Count")), QVariant(qlonglong(12)));
}

TEST_F(UserDefaultsTest, ADamagedEntryReadsAsTheDefault)
{
    QDir().mkpath(m_dir.filePath(QStringLiteral("Keymoor")));
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\nFlag=banana\nSeconds=soon\nName=kept\n");
    file.close();

    UserDefaults defaults(path());
    defaults.registerDefaults({{QStringLiteral("Flag"), true}, {QStringLiteral("Seconds"), 60.0}});
    EXPECT_TRUE(defaults.boolValue(QStringLiteral("Flag")));
    EXPECT_DOUBLE_EQ(defaults.doubleValue(QStringLiteral("Seconds")), 60.0);
    EXPECT_EQ(defaults.stringValue(QStringLiteral("Name")), QStringLiteral("kept"));
}

TEST_F(UserDefaultsTest, DictionariesRoundTripAsReadableGroups)
{
    const QString key = QStringLiteral("ZRActiveExportValuesDefaultsKey");
    const QVariantMap registered {
        {QStringLiteral("title"), true}, {QStringLiteral("serialNumber"), true}, {QStringLiteral("a/b\\c%d"), true}};
    const QVariantMap chosen {
        {QStringLiteral("title"), true}, {QStringLiteral("serialNumber"), false}, {QStringLiteral("a/b\\c%d"), false}};
    {
        UserDefaults defaults(path());
        defaults.registerDefaults({{key, registered}});
        ASSERT_TRUE(defaults.setValue(key, chosen));
    }
    const QString text = fileText(path());
    EXPECT_TRUE(text.contains(QLatin1String("[ZRActiveExportValuesDefaultsKey]"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QLatin1String("@Variant"))) << text.toStdString();

    UserDefaults defaults(path());
    defaults.registerDefaults({{key, registered}});
    const QVariantMap read = defaults.dictionaryValue(key);
    EXPECT_EQ(read, chosen);
    EXPECT_EQ(read.value(QStringLiteral("serialNumber")).typeId(), QMetaType::Bool);

    // Replacing the dictionary drops entries the new one lacks; an empty one stays empty.
    ASSERT_TRUE(defaults.setValue(key, QVariantMap {{QStringLiteral("title"), false}}));
    EXPECT_EQ(defaults.dictionaryValue(key), (QVariantMap {{QStringLiteral("title"), false}}));
    ASSERT_TRUE(defaults.setValue(key, QVariantMap()));
    EXPECT_TRUE(defaults.hasUserValue(key));
    EXPECT_TRUE(defaults.dictionaryValue(key).isEmpty());
    ASSERT_TRUE(defaults.removeValue(key));
    EXPECT_EQ(defaults.dictionaryValue(key), registered);
}

TEST_F(UserDefaultsTest, AFileThatCannotBeWrittenIsReported)
{
    QFile blocker(m_dir.filePath(QStringLiteral("Keymoor")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    UserDefaults defaults(path());
    QString error;
    EXPECT_FALSE(defaults.setValue(QStringLiteral("Key"), 1, &error));
    EXPECT_TRUE(error.contains(path())) << error.toStdString();
}

TEST(UserDefaultsLocation, TheApplicationStoreLivesInTheConfigurationFolder)
{
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    ASSERT_FALSE(config.isEmpty());
    EXPECT_EQ(UserDefaults::standardFilePath(), config + QStringLiteral("/Keymoor/Keymoor.conf"));
    EXPECT_EQ(UserDefaults::standard().filePath(), UserDefaults::standardFilePath());
}
