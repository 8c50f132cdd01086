// The phone export dialog lets the export go only to an existing folder with a passphrase typed the
// same twice, or with no encryption, which it warns about.
#include "ui/PhoneExportDialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(PhoneExportDialog, NeedsAnExistingFolderAndMatchingPassphrasesOrNoEncryption)
{
    QTemporaryDir folder;
    PhoneExportDialog dialog(folder.path() + QStringLiteral("/missing"), nullptr);
    dialog.passphraseField()->setText(QStringLiteral("secret"));
    dialog.repeatField()->setText(QStringLiteral("secret"));
    EXPECT_FALSE(dialog.canExport());

    dialog.folderField()->setText(folder.path());
    EXPECT_TRUE(dialog.canExport());
    EXPECT_EQ(dialog.passphrase(), QByteArray("secret"));

    dialog.repeatField()->setText(QStringLiteral("secreT"));
    EXPECT_FALSE(dialog.canExport());
    dialog.passphraseField()->clear();
    dialog.repeatField()->clear();
    EXPECT_FALSE(dialog.canExport());

    dialog.plainBox()->setChecked(true);
    EXPECT_TRUE(dialog.canExport());
    EXPECT_TRUE(dialog.passphrase().isEmpty());
    EXPECT_FALSE(dialog.passphraseField()->isEnabled());
}
