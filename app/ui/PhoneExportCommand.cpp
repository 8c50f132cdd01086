#include "PhoneExportCommand.h"

#include "PhoneExportDialog.h"
#include "base/Localization.h"
#include "core/KeymoorAppDelegate.h"
#include "maintenance/PhoneExport.h"
#include "prefs/UserPreferences.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <QProcess>

PhoneExportCommand::PhoneExportCommand(KeymoorAppDelegate* delegate, QWidget* window)
    : QObject(window)
    , m_delegate(delegate)
    , m_window(window)
    , m_action(new QAction(localizedString(QStringLiteral("PhoneExportMenuItem")), this))
{
    connect(m_action, &QAction::triggered, this, &PhoneExportCommand::ask);
    connect(this, &PhoneExportCommand::finished, this, [this](const QString& error) {
        if (!m_window || !m_window->isVisible()) {
            return;
        }
        if (error.isEmpty()) {
            QMessageBox::information(m_window, m_action->text(),
                                     localizedFormat(QStringLiteral("PhoneExportDoneFormat"), {m_target}));
        } else {
            QMessageBox::warning(m_window, m_action->text(),
                                 localizedFormat(QStringLiteral("PhoneExportFailedFormat"), {error}));
        }
    });
}

PhoneExportCommand::~PhoneExportCommand() = default;

void PhoneExportCommand::ask()
{
    if (!m_delegate || m_process) {
        return;
    }
    PhoneExportDialog dialog(m_delegate->userPrefs().phoneExportFolder(), m_window);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    m_delegate->userPrefs().setPhoneExportFolder(dialog.folder());
    if (!m_delegate->saveAction() || !start(dialog.folder(), dialog.passphrase())) {
        Q_EMIT finished(localizedString(QStringLiteral("PhoneExportNotStarted")));
    }
}

bool PhoneExportCommand::start(const QString& folder, const QByteArray& passphrase)
{
    if (m_process) {
        return false;
    }
    m_target = QDir(folder).absoluteFilePath(PhoneExport::defaultFileName());
    QStringList arguments {QStringLiteral("export"), QStringLiteral("html"), m_target};
    if (!passphrase.isEmpty()) {
        arguments << QStringLiteral("--passphrase-file") << QStringLiteral("/dev/stdin");
    }
    m_process = new QProcess(this);
    connect(m_process, &QProcess::finished, this, &PhoneExportCommand::processEnded);
    m_process->start(QCoreApplication::applicationFilePath(), arguments);
    if (!m_process->waitForStarted()) {
        m_process->deleteLater();
        m_process = nullptr;
        return false;
    }
    if (!passphrase.isEmpty()) {
        m_process->write(passphrase + '\n');
    }
    m_process->closeWriteChannel();
    m_action->setEnabled(false);
    return true;
}

void PhoneExportCommand::processEnded()
{
    const bool written = m_process->exitStatus() == QProcess::NormalExit && m_process->exitCode() == 0;
    const QString error = QString::fromUtf8(m_process->readAllStandardError()).trimmed();
    m_process->deleteLater();
    m_process = nullptr;
    m_action->setEnabled(true);
    if (written) {
        Q_EMIT finished(QString());
    } else {
        Q_EMIT finished(error.isEmpty() ? localizedString(QStringLiteral("PhoneExportNotStarted")) : error);
    }
}
