#include "import/KMImportProductsOperation.h"

#include "support/TestData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString Fixtures = testDataPath("/bundles/");

struct PathCase
{
    QString path;
    bool expected;
};

// A copy of a small program of the system, marked executable, in a folder of the test's own.
QString copyOfProgram(const QTemporaryDir& folder, const QString& name)
{
    const QString path = folder.filePath(name);
    if (!QFile::copy(QStringLiteral("/usr/bin/true"), path)) {
        return {};
    }
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
    return path;
}

TEST(KMImportProductsOperation, RecognisesSoftwareBundlesProgramsAndYojimboExports)
{
    QTemporaryDir folder;
    const QString program = copyOfProgram(folder, QStringLiteral("tool"));
    ASSERT_FALSE(program.isEmpty());
    QDir(folder.path()).mkpath(QStringLiteral("Catalogue.KMLIB/Contents"));
    QFile::copy(Fixtures + QStringLiteral("Clock.wdgt/Info.plist"),
                folder.filePath(QStringLiteral("Catalogue.KMLIB/Contents/Info.plist")));
    QFile notExecutable(folder.filePath(QStringLiteral("data.bin")));
    ASSERT_TRUE(notExecutable.open(QIODevice::WriteOnly));
    static const char bytes[] = "\x00\x01\x02\x03 binary data";
    notExecutable.write(QByteArray(bytes, sizeof bytes - 1));
    notExecutable.close();

    const PathCase cases[] = {
        {testDataPath("/record/Sample.app"), true},
        {testDataPath("/record/Sample.app/"), true},
        {Fixtures + QStringLiteral("Backdrop.prefPane"), true},
        {Fixtures + QStringLiteral("Reverb.plugin"), true},
        {Fixtures + QStringLiteral("Clock.wdgt"), true},
        {Fixtures + QStringLiteral("Unnamed Bundle"), true}, // a package by its structure
        {Fixtures + QStringLiteral("Keymoor.app"), true}, // refused later, by its name
        {program, true},
        {Fixtures + QStringLiteral("yojimbo-export.txt"), true},
        {Fixtures + QStringLiteral("plain-text-notes.txt"), false},
        {Fixtures + QStringLiteral("yojimbo-export-without-organization.txt"), false},
        {notExecutable.fileName(), false},
        // Folders without an information property list: only the exact extensions count.
        {Fixtures + QStringLiteral("WithoutInfo.app"), true},
        {Fixtures + QStringLiteral("WithoutInfo.App"), false},
        {Fixtures + QStringLiteral("WithoutInfo.prefpane"), true},
        {Fixtures + QStringLiteral("WithoutInfo.prefPane"), false},
        {Fixtures + QStringLiteral("Plain Folder"), false},
        // The library folder, whatever it holds and however its extension is written.
        {Fixtures + QStringLiteral("Library.kmlib"), false},
        {folder.filePath(QStringLiteral("Catalogue.KMLIB")), false},
        {Fixtures + QStringLiteral("missing.app"), false},
        {QString(), false},
    };
    for (const PathCase& test : cases) {
        EXPECT_EQ(KMImportProductsOperation::isApp(test.path), test.expected) << test.path.toStdString();
    }
}

TEST(KMImportProductsOperation, KnowsKeymoorItself)
{
    QTemporaryDir folder;
    const QString self = QCoreApplication::applicationFilePath();
    const PathCase cases[] = {
        {Fixtures + QStringLiteral("Keymoor.app"), true},
        {Fixtures + QStringLiteral("Keymoor.app/"), true},
        {QStringLiteral("/Applications/Keymoor.app"), true},
        {self, true},
        {QFileInfo(self).absolutePath(), true}, // the folder that holds the running program
        {testDataPath("/record/Sample.app"), false},
        {copyOfProgram(folder, QStringLiteral("keymoor-copy")), false},
        {QStringLiteral("/no/such/Other.app"), false},
    };
    for (const PathCase& test : cases) {
        EXPECT_EQ(KMImportProductsOperation::isApplicationItself(test.path), test.expected) << test.path.toStdString();
    }
}

} // namespace
