#include "text/BoundedFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class BoundedFileTest : public ::testing::Test
{
protected:
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir m_folder;
};

TEST_F(BoundedFileTest, ReadsAFileUpToTheLimitAndRefusesOneByteMore)
{
    QString problem;
    const std::optional<QByteArray> exact = BoundedFile::read(write("exact", QByteArray(16, 'a')), 16, &problem);
    ASSERT_TRUE(exact);
    EXPECT_EQ(*exact, QByteArray(16, 'a'));

    const QString larger = write("larger", QByteArray(17, 'a'));
    EXPECT_FALSE(BoundedFile::read(larger, 16, &problem));
    EXPECT_TRUE(problem.contains(QStringLiteral("larger than 16 bytes")));
}

TEST_F(BoundedFileTest, RefusesWhatIsNotAPlainFile)
{
    QString problem;
    EXPECT_FALSE(BoundedFile::read(m_folder.filePath(QStringLiteral("missing")), 16, &problem));
    EXPECT_TRUE(problem.contains(QStringLiteral("not a file")));

    QDir(m_folder.path()).mkdir(QStringLiteral("folder"));
    problem.clear();
    EXPECT_FALSE(BoundedFile::read(m_folder.filePath(QStringLiteral("folder")), 16, &problem));
    EXPECT_FALSE(problem.isEmpty());
}

TEST_F(BoundedFileTest, TextMustBeValidUtf8)
{
    QString problem;
    const std::optional<QString> text = BoundedFile::readUtf8(write("good",
                                                                    "Gr\xC3\xBC\xC3\x9F"
                                                                    "e"),
                                                              64, &problem);
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, QStringLiteral("Grüße"));

    EXPECT_FALSE(BoundedFile::readUtf8(write("latin1",
                                             "Gr\xFC\xDF"
                                             "e"),
                                       64, &problem));
    EXPECT_TRUE(problem.contains(QStringLiteral("not UTF-8")));
}

} // namespace
