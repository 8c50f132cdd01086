#include "desktop/ContentType.h"

#include "support/TestData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Shows texts readably in failure messages.
[[maybe_unused]] static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

const QString Applications = testDataPath("/platform/desktop/Applications");

bool writeFile(const QString& path, const QByteArray& bytes, bool executable)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        return false;
    }
    file.close();
    auto permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (executable) {
        permissions |= QFileDevice::ExeOwner;
    }
    return file.setPermissions(permissions);
}

TEST(ContentType, TellsBundlesProgramsTextAndFolders)
{
    QTemporaryDir scratch;
    const QDir dir(scratch.path());
    ASSERT_TRUE(dir.mkpath(QStringLiteral("Shouting.APP")));
    ASSERT_TRUE(dir.mkpath(QStringLiteral("Library Kit/Contents")));
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("Library Kit/Contents/Info.plist")), "<plist/>", false));
    ASSERT_TRUE(dir.mkpath(QStringLiteral("plain folder")));
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("notes.txt")), "Serial: 1234\n", false));
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("run")), "#!/bin/sh\necho hello\n", true));
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("not-run")), "#!/bin/sh\necho hello\n", false));
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("file.app")), "#!/bin/sh\n", false));

    const struct
    {
        QString path;
        bool valid;
        BundleKind kind;
        bool executable;
        bool plainText;
    } cases[] = {
        {Applications + QStringLiteral("/Example Editor.app"), true, BundleKind::Application, false, false},
        {Applications + QStringLiteral("/Bare.app"), true, BundleKind::Application, false, false},
        {Applications + QStringLiteral("/Display.prefPane"), true, BundleKind::PreferencePane, false, false},
        {Applications + QStringLiteral("/Sound Effects.component"), true, BundleKind::Plugin, false, false},
        {Applications + QStringLiteral("/Clock.wdgt"), true, BundleKind::Widget, false, false},
        {dir.filePath(QStringLiteral("Shouting.APP")), true, BundleKind::Application, false, false},
        {dir.filePath(QStringLiteral("Library Kit")), true, BundleKind::Package, false, false},
        {dir.filePath(QStringLiteral("plain folder")), true, BundleKind::None, false, false},
        {dir.filePath(QStringLiteral("notes.txt")), true, BundleKind::None, false, true},
        {dir.filePath(QStringLiteral("run")), true, BundleKind::None, true, true},
        {dir.filePath(QStringLiteral("not-run")), true, BundleKind::None, false, true},
        {dir.filePath(QStringLiteral("file.app")), true, BundleKind::None, false, true},
        {dir.filePath(QStringLiteral("missing")), false, BundleKind::None, false, false},
        {QString(), false, BundleKind::None, false, false},
    };
    for (const auto& entry : cases) {
        const ContentType type = ContentType::ofPath(entry.path);
        EXPECT_EQ(type.isValid(), entry.valid) << entry.path.toStdString();
        EXPECT_EQ(type.bundleKind, entry.kind) << entry.path.toStdString();
        EXPECT_EQ(type.isExecutable, entry.executable) << entry.path.toStdString();
        EXPECT_EQ(type.isPlainText, entry.plainText) << entry.path.toStdString();
    }
}

TEST(ContentType, FindsTheInformationListOfBothLayouts)
{
    EXPECT_EQ(ContentType::infoPlistPath(Applications + QStringLiteral("/Example Editor.app")),
              Applications + QStringLiteral("/Example Editor.app/Contents/Info.plist"));
    EXPECT_EQ(ContentType::infoPlistPath(Applications + QStringLiteral("/Clock.wdgt")),
              Applications + QStringLiteral("/Clock.wdgt/Info.plist"));
    EXPECT_TRUE(ContentType::infoPlistPath(Applications + QStringLiteral("/Bare.app")).isEmpty());
}

} // namespace
