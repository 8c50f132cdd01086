#include "attachments/MailClientImport.h"

#include "../model/AttachmentTestLibrary.h"
#include "base/LibraryPaths.h"
#include "base/Localization.h"
#include "import/MailScriptHelper.h"
#include "model/AttachedEmail.h"
#include "model/AttachmentEntity.h"

#include <QCoreApplication>
#include <QFile>

namespace {

// A helper program written by the test: a shell script whose answers are fixed lists.
QString writeHelper(const QString& folder, const QString& name, const QByteArray& body)
{
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n" + body);
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

class MailClientImportTest : public AttachmentTestLibrary
{
protected:
    void SetUp() override
    {
        AttachmentTestLibrary::SetUp();
        m_delegate->setSelectedProductProvider([this] { return m_product; });
        MailScriptHelper::sharedHelper().setSearchFolders({m_helpers.path()});
    }
    void TearDown() override
    {
        MailScriptHelper::sharedHelper().setSearchFolders({});
        AttachmentTestLibrary::TearDown();
    }

    QStringList attachedNames() const
    {
        QStringList names;
        for (const AttachmentEntity* attachment : m_product->attachedFiles()) {
            names.append(attachment->name());
        }
        names.sort();
        return names;
    }

    QTemporaryDir m_helpers;
};

const QByteArray SelectionHelper = R"(case "$1" in
getSelectedMailCount) printf '3' ;;
getSelectedMailBodies)
  printf 'From: a@example.com\nTo: b@example.com\nSubject: First\n\nSerial Number: AAA-1111-2222\n\0'
  printf 'From: a@example.com\nTo: b@example.com\nSubject: Second\n\nbody\n\0'
  printf 'From: a@example.com\nTo: b@example.com\nSubject: Third\n\nbody\n\0' ;;
getSelectedMailAttachment)
  printf 'receipt' > "${2}receipt.pdf"
  printf 'receipt.pdf\0Mail\0\0../Keymoor.data\0' ;;
*) exit 2 ;;
esac
)";

TEST_F(MailClientImportTest, AMessageThatCannotBeCachedStopsTheMessagesButNotTheAttachments)
{
    writeHelper(m_helpers.path(), QStringLiteral("MailHelper"), SelectionHelper);
    int writes = 0;
    m_delegate->setCacheFileWriter([&writes](const QByteArray& bytes, const QString& path, QString* error) {
        if (++writes == 2) {
            *error = QStringLiteral("disk full");
            return false;
        }
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    });

    ASSERT_TRUE(m_delegate->importSelectedMailViaHelper(QStringLiteral("MailHelper")));
    m_delegate->waitForAttachmentImports();

    EXPECT_EQ(writes, 2);
    EXPECT_EQ(attachedNames(), (QStringList {QStringLiteral("First"), QStringLiteral("receipt.pdf")}));
    // Messages from the mail client are not scanned.
    EXPECT_TRUE(m_product->serialNumber().isEmpty());
    EXPECT_TRUE(m_log.join(u'\n').contains(QStringLiteral("Unable to write email to cache file")));
    EXPECT_FALSE(m_ui.isProgressShown());
    EXPECT_FALSE(m_context->hasChanges());
}

TEST_F(MailClientImportTest, AMissingHelperIsReportedAndNothingRuns)
{
    EXPECT_FALSE(m_delegate->importSelectedMailViaHelper(QStringLiteral("OutlookHelper")));
    ASSERT_EQ(m_ui.alerts().size(), 1);
    EXPECT_EQ(m_ui.alerts().first().title, QStringLiteral("Missing Script"));
    const QString message = QStringLiteral("Unable to locate resource path for the script named: OutlookHelper. "
                                           "Please contact customer support via Help > Send Feedback.");
    EXPECT_EQ(m_ui.alerts().first().message, message);
    EXPECT_TRUE(logged(QStringLiteral("ERROR: ") + message));
    EXPECT_EQ(m_delegate->runningAttachmentImports(), 0);
}

TEST_F(MailClientImportTest, WithoutAnAnswerToTheCountNoMessagesAreAsked)
{
    const QString log = m_helpers.filePath(QStringLiteral("calls"));
    writeHelper(m_helpers.path(), QStringLiteral("MailHelper"), "echo \"$1\" >> '" + log.toUtf8() + "'\nexit 0\n");
    ASSERT_TRUE(m_delegate->importSelectedMailViaHelper(QStringLiteral("MailHelper")));
    m_delegate->waitForAttachmentImports();
    QFile calls(log);
    ASSERT_TRUE(calls.open(QIODevice::ReadOnly));
    EXPECT_EQ(calls.readAll(), QByteArray("getSelectedMailCount\ngetSelectedMailAttachment\n"));
    EXPECT_TRUE(m_product->attachedFiles().isEmpty());
}

TEST_F(MailClientImportTest, HelperAnswersAreListsNoValueOrErrors)
{
    MailScriptHelper& helper = MailScriptHelper::sharedHelper();
    const QString path = writeHelper(m_helpers.path(), QStringLiteral("Answers"), R"(case "$1" in
list) printf 'one\0\0three' ;;
args) printf '%s\0' "$2" "$3" ;;
none) ;;
fail) echo 'mail program not running' >&2; exit 3 ;;
esac
)");
    EXPECT_EQ(helper.callInResource(path, QStringLiteral("list")),
              (QStringList {QStringLiteral("one"), QString(), QStringLiteral("three")}));
    EXPECT_EQ(helper.callInResource(path, QStringLiteral("args"), {QStringLiteral("a b"), QStringLiteral("$(x)")}),
              (QStringList {QStringLiteral("a b"), QStringLiteral("$(x)")}));
    EXPECT_FALSE(helper.callInResource(path, QStringLiteral("none")).has_value());
    EXPECT_FALSE(logged(QStringLiteral("Error attaching email.")));
    EXPECT_FALSE(helper.callInResource(path, QStringLiteral("fail")).has_value());
    EXPECT_TRUE(logged(QStringLiteral("Error attaching email.")));
    EXPECT_TRUE(m_log.join(u'\n').contains(QStringLiteral("mail program not running")));

    helper.setTimeLimitMs(200);
    const QString slow = writeHelper(m_helpers.path(), QStringLiteral("Slow"), "exec sleep 30\n");
    EXPECT_FALSE(helper.callInResource(slow, QStringLiteral("getSelectedMailCount")).has_value());
    helper.setTimeLimitMs(120000);
}

TEST_F(MailClientImportTest, ShippedHelpersAnswerWithNoValue)
{
    MailScriptHelper& helper = MailScriptHelper::sharedHelper();
    helper.setSearchFolders({});
    for (const char* name : {"MailHelper", "OutlookHelper", "YojimboHelper"}) {
        const QString path = helper.pathForScript(QString::fromLatin1(name));
        ASSERT_FALSE(path.isEmpty()) << name;
        EXPECT_FALSE(helper.callInResource(path, QStringLiteral("getSelectedMailCount")).has_value());
        EXPECT_FALSE(helper.callInResource(path, QStringLiteral("getSerialNumberItems")).has_value());
    }
    EXPECT_FALSE(logged(QStringLiteral("Error attaching email.")));
    EXPECT_TRUE(helper.pathForScript(QStringLiteral("../MailHelper")).isEmpty());
}

} // namespace
