#include "MailLicenceSheet.h"

#include "MailProposalTable.h"
#include "MailSources.h"
#include "UndoNaming.h"
#include "base/Localization.h"
#include "base/UserInterface.h"
#include "core/KeymoorAppDelegate.h"
#include "desktop/DefaultMailProgram.h"
#include "library/BackgroundJobTracker.h"
#include "prefs/UserPreferences.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>

namespace {

// The combo box's data for the dropped files, which are no stored source.
const QString DroppedSource = QStringLiteral("Dropped");

} // namespace

// Shared by the sheet and the scan's work: the count of messages read and the cancel request
// cross threads; the result is read on the main thread once the work has returned.
struct MailLicenceSheet::ScanState
{
    std::atomic<qint64> messagesRead {0};
    std::atomic<bool> cancelRequested {false};
    MailLicenceFinder::ScanResult result;
};

MailLicenceSheet::MailLicenceSheet(KeymoorAppDelegate* delegate, QWidget* parent, const QString& defaultMailProgramId)
    : QDialog(parent)
    , m_delegate(delegate)
{
    setObjectName(QStringLiteral("mailLicenceSheet"));
    setWindowTitle(localizedString(QStringLiteral("MailFinderSheetTitle")));
    setWindowModality(Qt::WindowModal);
    resize(880, 520);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    buildSourceRow(defaultMailProgramId);
    auto* sourceRow = new QHBoxLayout;
    sourceRow->addWidget(m_source, 1);
    sourceRow->addWidget(m_choose);
    form->addRow(localizedString(QStringLiteral("MailFinderSourceLabel")), sourceRow);
    form->addRow(QString(), m_path);
    buildSinceRow();
    auto* sinceRow = new QHBoxLayout;
    sinceRow->addWidget(m_sinceOn);
    sinceRow->addWidget(m_since);
    sinceRow->addStretch(1);
    form->addRow(QString(), sinceRow);
    buildButtons();
    auto* scanRow = new QHBoxLayout;
    scanRow->addWidget(m_scanButton);
    scanRow->addWidget(m_cancelButton);
    scanRow->addWidget(m_busy);
    scanRow->addWidget(m_status, 1);
    layout->addLayout(scanRow);
    m_table = new MailProposalTable(this);
    layout->addWidget(m_table, 1);
    connect(m_table, &MailProposalTable::checkedCountChanged, this, &MailLicenceSheet::updateButtons);
    auto* closeButton = new QPushButton(localizedString(QStringLiteral("MailFinderCloseButton")), this);
    closeButton->setObjectName(QStringLiteral("mailCloseButton"));
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(closeButton);
    buttonRow->addWidget(m_addButton);
    layout->addLayout(buttonRow);
    m_progressTimer = new QTimer(this);
    m_progressTimer->setInterval(100);
    connect(m_progressTimer, &QTimer::timeout, this, &MailLicenceSheet::showProgress);
    sourceChanged();
}

MailLicenceSheet::~MailLicenceSheet()
{
    if (m_scan) {
        m_scan->cancelRequested = true;
    }
}

void MailLicenceSheet::buildSourceRow(const QString& defaultMailProgramId)
{
    m_source = new QComboBox(this);
    m_source->setObjectName(QStringLiteral("mailSourceChoice"));
    const bool thunderbird = !MailSources::detectedPath(QLatin1String(MailSources::Thunderbird)).isEmpty();
    const bool evolution = !MailSources::detectedPath(QLatin1String(MailSources::Evolution)).isEmpty();
    for (const QString& source : UserPreferences::mailSources()) {
        if (MailSources::isChosenByPerson(source) || !MailSources::detectedPath(source).isEmpty()) {
            m_source->addItem(MailSources::label(source), source);
        }
    }
    QString stored;
    QString programId = defaultMailProgramId;
    if (m_delegate) {
        stored = m_delegate->userPrefs().mailSource();
    }
    if (stored.isEmpty() && programId.isEmpty()) {
        programId = DefaultMailProgram().desktopFileId();
    }
    const int preferred = m_source->findData(MailSources::preferred(stored, programId, thunderbird, evolution));
    m_source->setCurrentIndex(std::max(preferred, 0));
    connect(m_source, &QComboBox::currentIndexChanged, this, &MailLicenceSheet::sourceChanged);
    m_choose = new QPushButton(localizedString(QStringLiteral("MailFinderChooseButton")), this);
    m_choose->setObjectName(QStringLiteral("mailSourceChooseButton"));
    connect(m_choose, &QPushButton::clicked, this, &MailLicenceSheet::chooseSource);
    m_path = new QLabel(this);
    m_path->setObjectName(QStringLiteral("mailSourcePath"));
    m_path->setTextInteractionFlags(Qt::TextSelectableByMouse);
}

void MailLicenceSheet::buildSinceRow()
{
    m_sinceOn = new QCheckBox(localizedString(QStringLiteral("MailFinderSinceCheckBox")), this);
    m_sinceOn->setObjectName(QStringLiteral("mailSinceCheckBox"));
    m_since = new QDateEdit(QDate::currentDate().addYears(-1), this);
    m_since->setObjectName(QStringLiteral("mailSinceDate"));
    m_since->setCalendarPopup(true);
    m_since->setEnabled(false);
    connect(m_sinceOn, &QCheckBox::toggled, m_since, &QWidget::setEnabled);
}

void MailLicenceSheet::buildButtons()
{
    m_scanButton = new QPushButton(localizedString(QStringLiteral("MailFinderScanButton")), this);
    m_scanButton->setObjectName(QStringLiteral("mailScanButton"));
    connect(m_scanButton, &QPushButton::clicked, this, &MailLicenceSheet::startScan);
    m_cancelButton = new QPushButton(localizedString(QStringLiteral("CancelButton")), this);
    m_cancelButton->setObjectName(QStringLiteral("mailCancelScanButton"));
    connect(m_cancelButton, &QPushButton::clicked, this, &MailLicenceSheet::cancelScan);
    m_addButton = new QPushButton(localizedString(QStringLiteral("MailFinderAddButton")), this);
    m_addButton->setObjectName(QStringLiteral("mailAddButton"));
    m_addButton->setDefault(true);
    connect(m_addButton, &QPushButton::clicked, this, &MailLicenceSheet::addCheckedProposals);
    m_busy = new QProgressBar(this);
    m_busy->setRange(0, 0);
    m_busy->setTextVisible(false);
    m_busy->setMaximumWidth(80);
    m_busy->hide();
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("mailScanStatus"));
}

void MailLicenceSheet::setDroppedFiles(const QStringList& paths)
{
    m_droppedFiles = paths;
    if (m_source->findData(DroppedSource) < 0) {
        m_source->insertItem(0, localizedString(QStringLiteral("MailFinderSourceDropped")), DroppedSource);
    }
    m_source->setCurrentIndex(m_source->findData(DroppedSource));
    sourceChanged();
}

QStringList MailLicenceSheet::sourcePaths() const
{
    const QString source = m_source->currentData().toString();
    if (source == DroppedSource) {
        return m_droppedFiles;
    }
    const QString path = m_delegate ? MailSources::pathFor(source, m_delegate->userPrefs()) : QString();
    return path.isEmpty() ? QStringList() : QStringList {path};
}

void MailLicenceSheet::sourceChanged()
{
    const QString source = m_source->currentData().toString();
    if (m_delegate && UserPreferences::mailSources().contains(source)) {
        m_delegate->userPrefs().setMailSource(source);
    }
    m_choose->setVisible(MailSources::isChosenByPerson(source));
    const QStringList paths = sourcePaths();
    m_path->setText(paths.isEmpty() ? localizedString(QStringLiteral("MailFinderNoSourceChosen"))
                                    : paths.join(QStringLiteral(", ")));
    updateButtons();
}

void MailLicenceSheet::chooseSource()
{
    UserInterface* ui = m_delegate ? m_delegate->userInterface() : nullptr;
    if (!ui) {
        return;
    }
    const QString source = m_source->currentData().toString();
    OpenPanelOptions options;
    const bool folder = source == QLatin1String(MailSources::Maildir);
    options.title = localizedString(folder ? QStringLiteral("MailFinderChooseMaildirTitle")
                                           : QStringLiteral("MailFinderChooseMboxTitle"));
    options.chooseFiles = !folder;
    options.chooseFolders = folder;
    const std::optional<QStringList> chosen = ui->runOpenPanel(options);
    if (!chosen || chosen->isEmpty()) {
        return;
    }
    m_delegate->userPrefs().setMailSourcePath(chosen->first());
    sourceChanged();
}

void MailLicenceSheet::startScan()
{
    const QStringList paths = sourcePaths();
    if (!m_delegate || m_scan || paths.isEmpty()) {
        return;
    }
    auto state = std::make_shared<ScanState>();
    MailLicenceFinder::ScanOptions options;
    if (m_sinceOn->isChecked()) {
        options.since = m_since->date().startOfDay();
    }
    options.progress = [state](qint64 messagesRead) {
        state->messagesRead = messagesRead;
        return !state->cancelRequested;
    };
    m_scan = state;
    m_table->setProposals({});
    m_status->setText(localizedFormat(QStringLiteral("MailFinderProgressFormat"), {QString::number(0)}));
    m_busy->show();
    m_progressTimer->start();
    updateButtons();
    m_delegate->jobs().start(
        QString::fromLatin1(ScanJobName),
        [state, paths, options]() -> std::optional<QString> {
            state->result = MailLicenceFinder::scan(paths, options);
            return std::nullopt;
        },
        [this, state] { scanFinished(state); }, BackgroundJobTracker::Placement::OwnThread, this);
}

void MailLicenceSheet::cancelScan()
{
    if (m_scan) {
        m_scan->cancelRequested = true;
        m_status->setText(localizedString(QStringLiteral("MailFinderCancellingStatus")));
        updateButtons();
    }
}

void MailLicenceSheet::showProgress()
{
    if (m_scan && !m_scan->cancelRequested) {
        m_status->setText(localizedFormat(QStringLiteral("MailFinderProgressFormat"),
                                          {QString::number(m_scan->messagesRead.load())}));
    }
}

void MailLicenceSheet::scanFinished(const std::shared_ptr<ScanState>& state)
{
    if (state != m_scan) {
        return;
    }
    m_scan.reset();
    m_progressTimer->stop();
    m_busy->hide();
    const MailLicenceFinder::ScanResult& result = state->result;
    if (state->cancelRequested || result.cancelled) {
        m_status->setText(localizedString(QStringLiteral("MailFinderCancelledStatus")));
        updateButtons();
        return;
    }
    QList<LicenceProposal> proposals = result.proposals;
    if (m_delegate) {
        MailLicenceFinder(m_delegate->session()).markInCatalogue(proposals);
    }
    m_table->setProposals(proposals);
    QString status = localizedFormat(QStringLiteral("MailFinderResultFormat"),
                                     {QString::number(result.messages), QString::number(proposals.size())});
    if (result.unreadable > 0) {
        status += QLatin1Char(' ')
            + localizedFormat(QStringLiteral("MailFinderUnreadableFormat"), {QString::number(result.unreadable)});
    }
    m_status->setText(status);
    updateButtons();
    if (!result.errors.isEmpty() && result.messages == 0) {
        alert(localizedString(QStringLiteral("MailFinderScanFailedTitle")), result.errors.join(QLatin1Char('\n')));
    }
}

void MailLicenceSheet::addCheckedProposals()
{
    const QList<LicenceProposal> checked = m_table->checkedProposals();
    if (!m_delegate || m_scan || checked.isEmpty()) {
        return;
    }
    QString error;
    std::optional<QList<Persistence::ObjectID>> added;
    Persistence::ObjectContext* context = m_delegate->managedObjectContext();
    UndoNaming::runNamed(context, QString(), [&] {
        added = MailLicenceFinder(m_delegate->session()).addProposals(checked, &error);
        UndoNaming::name(context, UndoNaming::importProducts(added ? int(added->size()) : 0));
    });
    if (!added) {
        alert(localizedString(QStringLiteral("MailFinderAddFailedTitle")), error);
        return;
    }
    emit productsAdded(*added);
    accept();
}

void MailLicenceSheet::updateButtons()
{
    const bool scanning = m_scan != nullptr;
    m_source->setEnabled(!scanning);
    m_choose->setEnabled(!scanning);
    m_scanButton->setEnabled(!scanning && !sourcePaths().isEmpty());
    m_cancelButton->setEnabled(scanning && !m_scan->cancelRequested);
    bool anyChecked = false;
    for (int row = 0; row < m_table->rowCount() && !anyChecked; ++row) {
        const QTableWidgetItem* title = m_table->item(row, MailProposalTable::TitleColumn);
        anyChecked = title && title->checkState() == Qt::Checked;
    }
    m_addButton->setEnabled(!scanning && anyChecked);
}

void MailLicenceSheet::alert(const QString& title, const QString& message)
{
    if (UserInterface* ui = m_delegate ? m_delegate->userInterface() : nullptr) {
        Alert alert;
        alert.style = AlertStyle::Warning;
        alert.title = title;
        alert.message = message;
        ui->runAlert(alert);
    }
}
