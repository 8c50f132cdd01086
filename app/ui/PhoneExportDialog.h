#pragma once

#include <QDialog>

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

// Asks where the page for a phone goes (a folder, which is remembered) and for a passphrase typed
// twice, or for no encryption, which the dialog warns about.
class PhoneExportDialog : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhoneExportDialog)

public:
    PhoneExportDialog(const QString& folder, QWidget* parent);
    ~PhoneExportDialog() override;

    QString folder() const;
    // Empty when the page is not to be encrypted.
    QByteArray passphrase() const;

    // The widgets, for tests.
    QLineEdit* folderField() const { return m_folder; }
    QLineEdit* passphraseField() const { return m_passphrase; }
    QLineEdit* repeatField() const { return m_repeat; }
    QCheckBox* plainBox() const { return m_plain; }
    bool canExport() const;

private:
    void chooseFolder();
    void update();

    QLineEdit* m_folder;
    QLineEdit* m_passphrase;
    QLineEdit* m_repeat;
    QCheckBox* m_plain;
    QLabel* m_message;
    QDialogButtonBox* m_buttons;
};
