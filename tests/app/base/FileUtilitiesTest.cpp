#include "base/FileUtilities.h"

#include "base/TextUtilities.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString writeFile(const QTemporaryDir& dir, const QString& name, qsizetype size)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QByteArray(size, 'x'));
    }
    return path;
}

} // namespace

TEST(FileUtilities, SizesCountMissingFilesAsZero)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString small = writeFile(dir, QStringLiteral("small"), 100);
    const QString large = writeFile(dir, QStringLiteral("large"), 70000);
    const QString empty = writeFile(dir, QStringLiteral("empty"), 0);
    const QString missing = dir.filePath(QStringLiteral("missing"));

    EXPECT_EQ(fileSizeAtPath(small), 100u);
    EXPECT_EQ(fileSizeAtPath(empty), 0u);
    EXPECT_EQ(fileSizeAtPath(missing), 0u);
    EXPECT_EQ(fileSizeAtPath(QString()), 0u);

    EXPECT_EQ(totalFileSizeForFiles({}), 0u);
    EXPECT_EQ(totalFileSizeForFiles({small, missing, large, empty, small}), 70200u);
}

TEST(FileUtilities, FreeSpaceOfAnExistingPathOnly)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = writeFile(dir, QStringLiteral("store"), 10);
    EXPECT_GT(freeDiskSpaceAtPath(dir.path()), 0u);
    // Both name the same file system; other processes may write in between, so allow some drift.
    const double ofFile = double(freeDiskSpaceAtPath(file));
    const double ofFolder = double(freeDiskSpaceAtPath(dir.path()));
    EXPECT_NEAR(ofFile, ofFolder, 512.0 * 1024 * 1024);
    EXPECT_EQ(freeDiskSpaceAtPath(dir.filePath(QStringLiteral("nothing/here"))), 0u);
    EXPECT_EQ(freeDiskSpaceAtPath(QString()), 0u);
}

TEST(TextUtilities, UuidStringsAreCanonicalUpperCaseAndFresh)
{
    const QRegularExpression canonical(
        QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}$"));
    QSet<QString> seen;
    for (int i = 0; i < 1000; ++i) {
        const QString uuid = universallyUniuqueIdentifier();
        ASSERT_EQ(uuid.size(), 36);
        ASSERT_TRUE(canonical.match(uuid).hasMatch()) << uuid.toStdString();
        seen.insert(uuid);
    }
    EXPECT_EQ(seen.size(), 1000);
}
