#include "MailLicenceCommands.h"

#include "MailDrop.h"
#include "MailLicenceSheet.h"
#include "MailProposalTable.h"
#include "base/FileWriting.h"
#include "base/LibraryPaths.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "base/TextUtilities.h"
#include "base/UserInterface.h"
#include "core/KeymoorAppDelegate.h"
#include "library/BackgroundJobTracker.h"

#include <QAction>
#include <QDir>
#include <QList>
#include <QWidget>

#include <algorithm>
#include <memory>

MailLicenceCommands::MailLicenceCommands(KeymoorAppDelegate* delegate, QWidget* window)
    : QObject(window)
    , m_delegate(delegate)
    , m_window(window)
{
    m_find = new QAction(localizedString(QStringLiteral("MailFinderMenuItem")), window);
    m_find->setObjectName(QStringLiteral("findLicencesInMail"));
    connect(m_find, &QAction::triggered, this, [this] { showSheet(); });
}

MailLicenceCommands::~MailLicenceCommands() = default;

MailLicenceSheet* MailLicenceCommands::sheet() const
{
    return m_sheet;
}

MailLicenceSheet* MailLicenceCommands::showSheet(const QStringList& paths)
{
    if (!m_delegate || !m_delegate->managedObjectContext()) {
        return nullptr;
    }
    if (m_sheet) {
        m_sheet->close();
        m_sheet->deleteLater();
    }
    m_sheet = new MailLicenceSheet(m_delegate, m_window, m_defaultMailProgramId);
    m_sheet->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_sheet, &MailLicenceSheet::productsAdded, this, &MailLicenceCommands::productsAdded);
    watchSheet(m_sheet);
    if (!paths.isEmpty()) {
        m_sheet->setDroppedFiles(paths);
    }
    m_sheet->open();
    return m_sheet;
}

// When the sheet closes, the status bar says what came of it.
void MailLicenceCommands::watchSheet(MailLicenceSheet* sheet)
{
    auto added = std::make_shared<int>(-1);
    auto scanned = std::make_shared<bool>(false);
    connect(sheet, &MailLicenceSheet::productsAdded, this,
            [added](const QList<Persistence::ObjectID>& ids) { *added = int(ids.size()); });
    if (m_delegate) {
        connect(&m_delegate->jobs(), &BackgroundJobTracker::jobFinished, sheet, [scanned](const QString& name) {
            if (name == QLatin1String(MailLicenceSheet::ScanJobName)) {
                *scanned = true;
            }
        });
    }
    connect(sheet, &QDialog::finished, this, [this, sheet, added, scanned] {
        const int found = sheet->table() ? sheet->table()->rowCount() : 0;
        emit statusMessage(addedMessage(std::max(*added, 0), *scanned, found));
    });
}

QString MailLicenceCommands::addedMessage(int added, bool scanned, int found)
{
    if (added > 0) {
        return added == 1
            ? localizedString(QStringLiteral("StatusAddedOneProductFromMail"))
            : localizedFormat(QStringLiteral("StatusAddedProductsFromMailFormat"), {QString::number(added)});
    }
    if (scanned && found == 0) {
        return localizedString(QStringLiteral("StatusNoLicencesInMail"));
    }
    return localizedString(QStringLiteral("StatusNothingAddedFromMail"));
}

bool MailLicenceCommands::productListDrop(const MailDrop& mail)
{
    const bool reported = reportUnresolved(mail.unresolved);
    const QStringList paths = mail.emlFiles + mail.mboxFiles + cachedMessageFiles(mail.messages);
    if (paths.isEmpty()) {
        return reported;
    }
    return showSheet(paths) != nullptr;
}

bool MailLicenceCommands::attachmentsDrop(const MailDrop& mail)
{
    bool done = reportUnresolved(mail.unresolved);
    const QStringList files = mail.emlFiles + cachedMessageFiles(mail.messages);
    if (m_delegate && !files.isEmpty()) {
        done = m_delegate->attachDocumentsToSelectedProduct(files, true) || done;
    }
    // The messages of an mbox are many purchases at once: they are offered in the sheet.
    if (!mail.mboxFiles.isEmpty()) {
        done = showSheet(mail.mboxFiles) != nullptr || done;
    }
    return done;
}

bool MailLicenceCommands::reportUnresolved(const QStringList& addresses)
{
    UserInterface* ui = m_delegate ? m_delegate->userInterface() : nullptr;
    if (addresses.isEmpty() || !ui) {
        return false;
    }
    Alert alert;
    alert.style = AlertStyle::Warning;
    alert.title = localizedString(QStringLiteral("MailDropUnresolvedTitle"));
    alert.message
        = localizedFormat(QStringLiteral("MailDropUnresolvedMessageFormat"), {addresses.join(QLatin1Char('\n'))});
    ui->runAlert(alert);
    return true;
}

QStringList MailLicenceCommands::cachedMessageFiles(const QList<QByteArray>& messages)
{
    QStringList paths;
    const QString cache = LibraryPaths::applicationCacheFolder();
    if (cache.isEmpty()) {
        return paths;
    }
    for (const QByteArray& message : messages) {
        const QString path = QDir(cache).filePath(universallyUniuqueIdentifier() + QStringLiteral(".eml"));
        QString error;
        if (FileWriting::writeData(message, path, &error)) {
            paths.append(path);
        } else {
            Log::write(QStringLiteral("Unable to save a dropped message to %1: %2").arg(path, error));
        }
    }
    return paths;
}
