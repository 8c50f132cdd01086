#include "PhoneExportDialog.h"

#include "base/Localization.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

PhoneExportDialog::PhoneExportDialog(const QString& folder, QWidget* parent)
    : QDialog(parent)
    , m_folder(new QLineEdit(folder, this))
    , m_passphrase(new QLineEdit(this))
    , m_repeat(new QLineEdit(this))
    , m_plain(new QCheckBox(localizedString(QStringLiteral("PhoneExportNoEncryption")), this))
    , m_message(new QLabel(this))
    , m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setWindowTitle(localizedString(QStringLiteral("PhoneExportTitle")));
    m_passphrase->setEchoMode(QLineEdit::Password);
    m_repeat->setEchoMode(QLineEdit::Password);
    m_message->setWordWrap(true);
    auto* choose = new QPushButton(localizedString(QStringLiteral("PhoneExportChooseFolder")), this);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(choose);
    auto* form = new QFormLayout(this);
    form->addRow(localizedString(QStringLiteral("PhoneExportFolderLabel")), folderRow);
    form->addRow(localizedString(QStringLiteral("PhoneExportPassphraseLabel")), m_passphrase);
    form->addRow(localizedString(QStringLiteral("PhoneExportRepeatLabel")), m_repeat);
    form->addRow(m_plain);
    form->addRow(m_message);
    form->addRow(m_buttons);
    connect(choose, &QPushButton::clicked, this, &PhoneExportDialog::chooseFolder);
    for (QLineEdit* field : {m_folder, m_passphrase, m_repeat}) {
        connect(field, &QLineEdit::textChanged, this, &PhoneExportDialog::update);
    }
    connect(m_plain, &QCheckBox::toggled, this, &PhoneExportDialog::update);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    update();
}

PhoneExportDialog::~PhoneExportDialog() = default;

QString PhoneExportDialog::folder() const
{
    return m_folder->text().trimmed();
}

QByteArray PhoneExportDialog::passphrase() const
{
    return m_plain->isChecked() ? QByteArray() : m_passphrase->text().toUtf8();
}

bool PhoneExportDialog::canExport() const
{
    const bool folderExists = !folder().isEmpty() && QDir(folder()).exists();
    const bool encryption = !m_passphrase->text().isEmpty() && m_passphrase->text() == m_repeat->text();
    return folderExists && (m_plain->isChecked() || encryption);
}

void PhoneExportDialog::chooseFolder()
{
    const QString chosen
        = QFileDialog::getExistingDirectory(this, localizedString(QStringLiteral("PhoneExportChooseFolder")), folder());
    if (!chosen.isEmpty()) {
        m_folder->setText(chosen);
    }
}

void PhoneExportDialog::update()
{
    const bool plain = m_plain->isChecked();
    m_passphrase->setEnabled(!plain);
    m_repeat->setEnabled(!plain);
    QString message;
    if (plain) {
        message = localizedString(QStringLiteral("PhoneExportNoEncryptionWarning"));
    } else if (!m_repeat->text().isEmpty() && m_passphrase->text() != m_repeat->text()) {
        message = localizedString(QStringLiteral("PhoneExportPassphrasesDiffer"));
    }
    m_message->setText(message);
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(canExport());
}
