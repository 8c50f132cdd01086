#include "base/Localization.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
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

} // namespace

TEST(Localization, EveryTextIsPresentAndEveryFormatTakesItsArguments)
{
    const QJsonObject texts = table();
    ASSERT_GT(texts.size(), 100);
    // Keys whose texts are filled in, with the number of arguments their callers pass.
    const std::pair<const char*, int> formats[] = {
        {"DeleteProductVersionQuestionFormat", 2}, {"DeleteProductQuestionFormat", 1},
        {"DeleteNamedAttachmentFormat", 1},        {"ScannedInfoSerialNumberFormat", 1},
        {"ScannedInfoRegisteredEmail", 1},         {"ScannedInfoPurchaseDate", 1},
        {"ScannedInfoMessageFormat", 1},           {"NewerLibraryDetectedMessageFormat", 2},
        {"LowDiskSpaceMessageFormat", 2},          {"BadAttachmentContentMessageFormat", 1},
        {"MissingAttachmentFilePathMessage", 1},   {"FailedToWriteAttachmentToDiskMessageFormat", 2},
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
