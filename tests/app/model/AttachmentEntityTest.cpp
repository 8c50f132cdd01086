#include "model/AttachmentEntity.h"

#include "AttachmentTestLibrary.h"
#include "base/LibraryPaths.h"
#include "email/ZRTextEncoding.h"
#include "model/AttachedEmail.h"
#include "model/ZRAttachmentContent.h"
#include "model/ZRCacheFileManager.h"

#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>

#include <algorithm>

namespace {

class AttachmentEntityTest : public AttachmentTestLibrary
{
protected:
    AttachmentEntity* attachBytes(const QString& name, const QByteArray& bytes)
    {
        auto* attachment = AttachmentEntity::insertAttachmentForFile(writeFile(name, bytes), m_context);
        EXPECT_NE(attachment, nullptr) << name.toStdString();
        return attachment;
    }
};

TEST_F(AttachmentEntityTest, StoresACopyNamedByAFreshUUIDReadableByTheOwnerOnly)
{
    const QString source = writeFile(QStringLiteral("receipt.pdf"), "%PDF-1.4 receipt");
    AttachmentEntity* attachment = AttachmentEntity::insertAttachmentForFile(source, m_context);
    ASSERT_NE(attachment, nullptr);
    EXPECT_EQ(attachment->name(), QStringLiteral("receipt.pdf"));
    EXPECT_TRUE(attachment->date().isValid());

    const ZRAttachmentContent* content = attachment->content();
    ASSERT_NE(content, nullptr);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"))
                    .match(content->uuid())
                    .hasMatch());
    EXPECT_EQ(QFileInfo(content->filePath()).absolutePath(),
              QFileInfo(LibraryPaths::attachmentsPath()).absoluteFilePath());
    EXPECT_EQ(readAll(content->filePath()), QByteArray("%PDF-1.4 receipt"));
    EXPECT_EQ(QFileInfo(content->filePath()).permissions()
                  & ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser),
              QFile::Permissions());
    // Only the stored file itself is in the folder: no temporary left behind.
    EXPECT_EQ(QDir(LibraryPaths::attachmentsPath()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(AttachmentEntityTest, AFileThatCannotBeStoredLeavesNoRecordBehind)
{
    const QString missing = m_scratch.filePath(QStringLiteral("gone.txt"));
    EXPECT_EQ(AttachmentEntity::insertAttachmentForFile(missing, m_context), nullptr);
    EXPECT_TRUE(logged(QStringLiteral("Error file:%1 does not exist!").arg(missing)));
    EXPECT_TRUE(logged(QStringLiteral("Counld not create a new attachment for file:%1").arg(missing)));
    EXPECT_EQ(count(QStringLiteral("AttachedFile")), 0);
    EXPECT_EQ(count(QStringLiteral("AttachmentContent")), 0);
}

TEST_F(AttachmentEntityTest, TypeTestsFollowTheExtensionListsExactly)
{
    struct Case
    {
        const char* name;
        bool visibleText;
        bool pdf;
        bool printable;
    };
    const Case cases[] = {
        {"notes", true, false, true}, // no extension: visible text
        {"notes.txt", true, false, true},
        {"NOTES.TXT", false, false, false}, // the list has "txt" in lower case only
        {"order.CSV", true, false, true},
        {"receipt.PDF", false, true, true},
        {"receipt.pdf", false, true, true},
        {"page.webarchive", false, false, true},
        {"page.WEBARCHIVE", false, false, false}, // "webarchive" is compared exactly
        {"message.eml", true, false, true}, // e-mails are text
        {"installer.dmg", false, false, false},
        {"trailing.", true, false, true}, // a dot without an extension passes the list step
    };
    for (const Case& c : cases) {
        AttachmentEntity* attachment = attachBytes(QString::fromLatin1(c.name), "small");
        ASSERT_NE(attachment, nullptr);
        EXPECT_EQ(attachment->isVisibleText(), c.visibleText) << c.name;
        EXPECT_EQ(attachment->isText(), c.visibleText) << c.name;
        EXPECT_EQ(attachment->isPDF(), c.pdf) << c.name;
        EXPECT_EQ(attachment->isPrintable(), c.printable) << c.name;
    }
}

TEST_F(AttachmentEntityTest, VisibleTextEndsAtTenMillionBytes)
{
    AttachmentEntity* largest = attachBytes(QStringLiteral("largest.txt"), QByteArray(10000000, 'a'));
    EXPECT_TRUE(largest->isVisibleText());
    EXPECT_FALSE(logged(QStringLiteral("file too big")));

    AttachmentEntity* tooBig = attachBytes(QStringLiteral("too-big.txt"), QByteArray(10000001, 'a'));
    EXPECT_FALSE(tooBig->isVisibleText());
    EXPECT_FALSE(tooBig->isPrintable());
    EXPECT_TRUE(logged(QStringLiteral("file too big")));
}

TEST_F(AttachmentEntityTest, ImagesAreRecognisedByTheReadableImageTypes)
{
    EXPECT_TRUE(attachBytes(QStringLiteral("screenshot.png"), "png")->isImage());
    EXPECT_TRUE(attachBytes(QStringLiteral("screenshot.png"), "png")->isPrintable());
    EXPECT_FALSE(attachBytes(QStringLiteral("licence.key"), "key")->isImage());
}

TEST_F(AttachmentEntityTest, ExportsNeverReplaceAFileAndKeepNamesInsideTheFolder)
{
    QTemporaryDir target;
    AttachmentEntity* first = attachBytes(QStringLiteral("a/receipt.pdf"), "first");
    AttachmentEntity* second = attachBytes(QStringLiteral("b/receipt.pdf"), "second");
    EXPECT_EQ(first->exportToFolder(target.path()), target.filePath(QStringLiteral("receipt.pdf")));
    EXPECT_EQ(second->exportToFolder(target.path()), target.filePath(QStringLiteral("receipt 1.pdf")));
    EXPECT_EQ(readAll(target.filePath(QStringLiteral("receipt.pdf"))), QByteArray("first"));
    EXPECT_EQ(readAll(target.filePath(QStringLiteral("receipt 1.pdf"))), QByteArray("second"));

    // A name carrying path separators (names come from imports and subjects) stays one file name.
    first->setName(QStringLiteral("../outside.pdf"));
    EXPECT_EQ(first->exportToFolder(target.path()), target.filePath(QStringLiteral("..-outside.pdf")));

    EXPECT_TRUE(first->exportToFolder(QString()).isEmpty());
    EXPECT_TRUE(logged(QStringLiteral("Warning: export to folder path is nil.")));

    // A failed copy is reported as a failure, not as a written path.
    QFile::remove(second->contentPath());
    EXPECT_TRUE(second->exportToFolder(target.path()).isEmpty());
}

TEST_F(AttachmentEntityTest, EmailsKeepTheirTextInTheSmallestEncodingThatHoldsIt)
{
    struct Case
    {
        const char* file;
        quint32 encoding;
        const char* subject;
        const char* textInBody;
    };
    const Case cases[] = {
        {"latin1-receipt-without-serial.eml", ZRTextEncoding::ISOLatin1, "Caf\u00e9 receipt", "caf\u00e9"},
        {"purchase-with-serial.eml", ZRTextEncoding::UTF8, "Your Northwind Notes licence", "Notes \u2014 your"},
    };
    for (const Case& c : cases) {
        AttachedEmail* email = AttachedEmail::insertAttachmentForFile(fixture(QString::fromLatin1(c.file)), m_context);
        ASSERT_NE(email, nullptr) << c.file;
        EXPECT_EQ(email->encoding(), c.encoding) << c.file;
        EXPECT_EQ(email->name(), QString::fromUtf8(c.subject));
        EXPECT_TRUE(email->isEmail());
        EXPECT_TRUE(email->date().isValid());
        EXPECT_TRUE(email->to().contains(QStringLiteral("jane.appleseed@example.com")));
        const std::optional<QString> text = email->contentString();
        ASSERT_TRUE(text.has_value());
        EXPECT_TRUE(text->contains(QString::fromUtf8(c.textInBody))) << c.file;
    }

    AttachedEmail* ascii = AttachedEmail::insertAttachmentForRawSource(
        QStringLiteral("From: a@example.com\nTo: b@example.com\nSubject: Plain\n\nHello\n"), m_context);
    ASSERT_NE(ascii, nullptr);
    EXPECT_EQ(ascii->encoding(), ZRTextEncoding::ASCII);
    EXPECT_EQ(readAll(ascii->contentPath()),
              QByteArray("From: a@example.com\nTo: b@example.com\nSubject: Plain\n\nHello\n"));
}

TEST_F(AttachmentEntityTest, EmailExportsGetTheEmlExtensionOnce)
{
    QTemporaryDir target;
    const QString raw = QStringLiteral("From: a@example.com\nTo: b@example.com\nSubject: %1\n\nBody\n");
    AttachedEmail* plain = AttachedEmail::insertAttachmentForRawSource(raw.arg(QStringLiteral("Order 1/2")), m_context);
    AttachedEmail* named = AttachedEmail::insertAttachmentForRawSource(raw.arg(QStringLiteral("saved.eml")), m_context);
    AttachedEmail* twice = AttachedEmail::insertAttachmentForRawSource(raw.arg(QStringLiteral("Order 1/2")), m_context);
    ASSERT_TRUE(plain && named && twice);
    EXPECT_EQ(plain->exportToFolder(target.path()), target.filePath(QStringLiteral("Order 1-2.eml")));
    EXPECT_EQ(named->exportToFolder(target.path()), target.filePath(QStringLiteral("saved.eml")));
    EXPECT_EQ(twice->exportToFolder(target.path()), target.filePath(QStringLiteral("Order 1-2 1.eml")));
    EXPECT_EQ(readAll(target.filePath(QStringLiteral("saved.eml"))), raw.arg(QStringLiteral("saved.eml")).toLatin1());
}

TEST_F(AttachmentEntityTest, StoredFileNamesMustBePlainNames)
{
    AttachmentEntity* attachment = attachBytes(QStringLiteral("notes.txt"), "notes");
    ZRAttachmentContent* content = attachment->content();
    for (const char* uuid : {"../Keymoor.data", "..", "a/b"}) {
        content->setValue(QStringLiteral("uuid"), QString::fromLatin1(uuid));
        EXPECT_TRUE(content->filePath().isEmpty()) << uuid;
        EXPECT_TRUE(content->contentData().isNull()) << uuid;
    }
}

TEST_F(AttachmentEntityTest, ResourceCopiesForTheViewerAreNamedAfterProductMessageAndFile)
{
    AttachmentEntity* attachment = attachBytes(QStringLiteral("logo.png"), "png bytes");
    attachment->setProduct(m_product);
    EXPECT_TRUE(attachment->exportAsResourceToCacheForParent(QString()).isEmpty());
    const QString path = attachment->exportAsResourceToCacheForParent(QStringLiteral("Welcome"));
    EXPECT_EQ(QFileInfo(path).fileName(), QStringLiteral("Northwind Notes-Welcome-logo.png"));
    EXPECT_EQ(readAll(path), QByteArray("png bytes"));
    // A second viewing reuses the copy.
    EXPECT_EQ(attachment->exportAsResourceToCacheForParent(QStringLiteral("Welcome")), path);
}

TEST_F(AttachmentEntityTest, CacheFileManagerWritesImagesAndJoinsOnlyPlainNames)
{
    ZRCacheFileManager& manager = ZRCacheFileManager::defaultManager();
    EXPECT_EQ(&manager, &ZRCacheFileManager::defaultManager());
    EXPECT_FALSE(manager.fullPathsForCachedFileNames(std::nullopt).has_value());
    EXPECT_TRUE(logged(QStringLiteral("can't cache empty array of file names")));

    const auto paths = manager.fullPathsForCachedFileNames(
        QStringList {QStringLiteral("b.pdf"), QStringLiteral("../escape"), QStringLiteral("a.txt")});
    ASSERT_TRUE(paths.has_value());
    const QDir cache(LibraryPaths::applicationCacheFolder());
    EXPECT_EQ(*paths, (QStringList {cache.filePath(QStringLiteral("b.pdf")), cache.filePath(QStringLiteral("a.txt"))}));

    EXPECT_TRUE(manager.cacheFileForImage(QImage(), QStringLiteral("X")).isEmpty());
    EXPECT_TRUE(logged(QStringLiteral("image or uuid not supplied for caching.")));
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString path = manager.cacheFileForImage(image, QStringLiteral("0F8FAD5B-D9CB-469F-A165-70867728950E"));
    EXPECT_EQ(path, cache.filePath(QStringLiteral("0F8FAD5B-D9CB-469F-A165-70867728950E.TIFF")));
    EXPECT_EQ(QImage(path).size(), image.size());
}

TEST_F(AttachmentEntityTest, DragCopiesKeepTheirNamesAndLeaveOutWhatCannotBeOfferedQuickly)
{
    const QByteArray limit(ZRCacheFileManager::MaximumDragFileSize, 'x');
    AttachmentEntity* first = attachBytes(QStringLiteral("notes.txt"), "first");
    AttachmentEntity* second = attachBytes(QStringLiteral("notes.txt"), "second");
    AttachmentEntity* atLimit = attachBytes(QStringLiteral("large.bin"), limit);
    AttachmentEntity* tooLarge = attachBytes(QStringLiteral("huge.bin"), limit + 'x');
    AttachmentEntity* lost = attachBytes(QStringLiteral("lost.txt"), "lost");
    AttachedEmail* email = AttachedEmail::insertAttachmentForRawSource(
        QStringLiteral("From: a@example.com\nTo: b@example.com\nSubject: Your key\n\nKEY-1\n"), m_context);
    ASSERT_TRUE(first && second && atLimit && tooLarge && lost && email);
    ASSERT_TRUE(QFile::remove(lost->contentPath()));

    ZRCacheFileManager& manager = ZRCacheFileManager::defaultManager();
    const auto copies = manager.copiesForDraggingAttachments({first, second, atLimit, tooLarge, lost, email});
    ASSERT_TRUE(copies.has_value());
    QStringList names;
    for (const QString& path : *copies) {
        names.append(QFileInfo(path).fileName());
    }
    EXPECT_EQ(names,
              (QStringList {QStringLiteral("notes.txt"), QStringLiteral("notes 1.txt"), QStringLiteral("large.bin"),
                            QStringLiteral("Your key.eml")}));
    EXPECT_EQ(readAll(copies->at(0)), QByteArray("first"));
    EXPECT_EQ(readAll(copies->at(1)), QByteArray("second"));
    EXPECT_EQ(readAll(copies->at(3)), readAll(email->contentPath()));

    // A second drag of the same attachment gets a fresh copy under the same name, in a folder of
    // its own inside the cache folder (emptied at quit).
    const auto again = manager.copiesForDraggingAttachments({first});
    ASSERT_TRUE(again.has_value() && again->size() == 1);
    EXPECT_EQ(QFileInfo(again->first()).fileName(), QStringLiteral("notes.txt"));
    EXPECT_NE(QFileInfo(again->first()).path(), QFileInfo(copies->first()).path());
    EXPECT_EQ(QFileInfo(QFileInfo(again->first()).path()).path(),
              QFileInfo(LibraryPaths::applicationCacheFolder()).absoluteFilePath());

    // Nothing draggable: no copies and no folder left behind.
    const int folders
        = QDir(LibraryPaths::applicationCacheFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
    const auto none = manager.copiesForDraggingAttachments({tooLarge, lost});
    ASSERT_TRUE(none.has_value());
    EXPECT_TRUE(none->isEmpty());
    EXPECT_EQ(QDir(LibraryPaths::applicationCacheFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(),
              folders);
}

TEST_F(AttachmentEntityTest, AFailedDragCopyOffersNothing)
{
    AttachmentEntity* attachment = attachBytes(QStringLiteral("notes.txt"), "notes");
    ZRCacheFileManager& manager = ZRCacheFileManager::defaultManager();
    // A cache "folder" that is a file: no drag folder can be made in it.
    manager.setCacheFolder(writeFile(QStringLiteral("not-a-folder"), "x"));
    const auto copies = manager.copiesForDraggingAttachments({attachment});
    manager.setCacheFolder(QString());
    EXPECT_FALSE(copies.has_value());
    EXPECT_TRUE(std::any_of(m_log.cbegin(), m_log.cend(), [](const QString& line) {
        return line.startsWith(QLatin1String("Error: pasteboard can't copy attachment to "));
    }));
}

} // namespace
