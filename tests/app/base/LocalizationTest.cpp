#include "base/Localization.h"

#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

QJsonObject table()
{
    QFile file(QStringLiteral(":/Localizable.json"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QJsonDocument::fromJson(file.readAll()).object();
}

int highestPlaceholder(const QString& text)
{
    int highest = 0;
    QRegularExpressionMatchIterator it = QRegularExpression(QStringLiteral("%(\\d+)")).globalMatch(text);
    while (it.hasNext()) {
        highest = std::max(highest, it.next().captured(1).toInt());
    }
    return highest;
}

// Every key the application's sources look up with a literal, with the files that use it.
QMap<QString, QStringList> keysLookedUpInSources()
{
    QMap<QString, QStringList> keys;
    const QRegularExpression lookup(
        QStringLiteral(R"re(localized(?:String|Format)\(\s*QStringLiteral\(\s*"((?:[^"\\]|\\.)*)"\s*\))re"));
    QDirIterator files(QStringLiteral(KEYMOOR_APP_SOURCE_DIR), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                       QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        QRegularExpressionMatchIterator it = lookup.globalMatch(QString::fromUtf8(file.readAll()));
        while (it.hasNext()) {
            keys[it.next().captured(1)].append(file.fileName());
        }
    }
    return keys;
}

} // namespace

TEST(Localization, EveryKeyTheSourcesLookUpIsInTheTable)
{
    const QJsonObject texts = table();
    const QMap<QString, QStringList> keys = keysLookedUpInSources();
    // The scan itself must work: the sources look up a few hundred texts.
    ASSERT_GT(keys.size(), 200);
    for (auto it = keys.begin(); it != keys.end(); ++it) {
        EXPECT_TRUE(texts.contains(it.key()))
            << it.key().toStdString() << " used in " << it.value().join(QStringLiteral(", ")).toStdString();
    }
}

TEST(Localization, EveryTextIsPresentAndEveryFormatTakesItsArguments)
{
    const QJsonObject texts = table();
    ASSERT_GT(texts.size(), 100);
    // Keys whose texts are filled in, with the number of arguments their callers pass.
    const std::pair<const char*, int> formats[] = {
        {"DeleteProductVersionQuestionFormat", 2},
        {"DeleteProductQuestionFormat", 1},
        {"DeleteNamedAttachmentFormat", 1},
        {"ScannedInfoSerialNumberFormat", 1},
        {"ScannedInfoRegisteredEmail", 1},
        {"ScannedInfoPurchaseDate", 1},
        {"ScannedInfoMessageFormat", 1},
        {"NewerLibraryDetectedMessageFormat", 2},
        {"LowDiskSpaceMessageFormat", 2},
        {"BadAttachmentContentMessageFormat", 1},
        {"MissingAttachmentFilePathMessage", 1},
        {"FailedToWriteAttachmentToDiskMessageFormat", 2},
        {"LibraryUnavailableStatusFormat", 1},
        {"ProductCountStatusFormat", 1},
        {"DetailPriceNotANumberFormat", 2},
        {"ImportFileNotFoundFormat", 1},
        {"ImportFileNotKeymoorFileFormat", 1},
        {"ImportFileNotMacHeist3FileFormat", 1},
        {"ImportFileNotReadableFormat", 1},
        {"XMLParseErrorMessageFormat", 3},
        {"PreferencesAutoSaveIntervalRefusedFormat", 3},
    };
    for (const auto& [key, arguments] : formats) {
        const QString text = texts.value(QString::fromUtf8(key)).toString();
        EXPECT_EQ(highestPlaceholder(text), arguments) << key;
    }
    for (auto it = texts.begin(); it != texts.end(); ++it) {
        EXPECT_FALSE(it.value().toString().trimmed().isEmpty()) << it.key().toStdString();
        EXPECT_FALSE(it.value().toString().contains(QLatin1String("%@"))) << it.key().toStdString();
        EXPECT_EQ(localizedString(it.key()), it.value().toString());
    }
}

TEST(Localization, UnknownKeysAnswerThemselves)
{
    EXPECT_EQ(localizedString(QStringLiteral("NoSuchKey")), QStringLiteral("NoSuchKey"));
    EXPECT_EQ(localizedString(QString()), QString());
    EXPECT_EQ(localizedFormat(QStringLiteral("NoSuchFormat %1"), {QStringLiteral("x")}),
              QStringLiteral("NoSuchFormat x"));
}

TEST(Localization, PlaceholdersAreFilledInOnePass)
{
    const std::tuple<const char*, QStringList, const char*> cases[] = {
        {"%1 version %2", {QStringLiteral("Editor"), QStringLiteral("2.0")}, "Editor version 2.0"},
        {"%2 before %1", {QStringLiteral("a"), QStringLiteral("b")}, "b before a"},
        // A title containing "%2" is not filled in again.
        {"Delete %1 version %2?", {QStringLiteral("50%2 off"), QStringLiteral("3")}, "Delete 50%2 off version 3?"},
        {"%1%", {QStringLiteral("90")}, "90%"},
        {"%3 stays", {QStringLiteral("a")}, "%3 stays"},
        {"100% sure %1", {QStringLiteral("x")}, "100% sure x"},
        {"%10 and %1", {QStringLiteral("one")}, "%10 and one"},
    };
    for (const auto& [format, arguments, expected] : cases) {
        EXPECT_EQ(fillPlaceholders(QString::fromUtf8(format), arguments), QString::fromUtf8(expected)) << format;
    }
}
