#include "DiscoverSoftwareSheet.h"

#include "DiscoveredSoftwareModel.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "base/UserInterface.h"
#include "library/BackgroundJobTracker.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include <memory>

DiscoverSoftwareSheet::DiscoverSoftwareSheet(BackgroundJobTracker& jobs, UserInterface* ui, Scan scan, Add add,
                                             QWidget* window)
    : QDialog(window)
    , m_jobs(jobs)
    , m_ui(ui)
    , m_scan(std::move(scan))
    , m_add(std::move(add))
    , m_model(new DiscoveredSoftwareModel(this))
    , m_filter(new QSortFilterProxyModel(this))
{
    setObjectName(QStringLiteral("discoverSoftwareSheet"));
    setWindowTitle(localizedString(QStringLiteral("DiscoverSoftwareTitle")));
    setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    setMinimumSize(560, 420);
    m_filter->setSourceModel(m_model);
    m_filter->setFilterRole(DiscoveredSoftwareModel::FilterTextRole);
    m_filter->setFilterCaseSensitivity(Qt::CaseInsensitive);
    buildWidgets();
    connect(m_model, &DiscoveredSoftwareModel::checkedCountChanged, this, &DiscoverSoftwareSheet::updateButtons);
    connect(m_filterField, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_filter->setFilterFixedString(text.trimmed());
        updateButtons();
    });
    updateButtons();
}

DiscoverSoftwareSheet::~DiscoverSoftwareSheet() = default;

void DiscoverSoftwareSheet::buildWidgets()
{
    m_filterField = new QLineEdit(this);
    m_filterField->setObjectName(QStringLiteral("discoverFilterField"));
    m_filterField->setPlaceholderText(localizedString(QStringLiteral("DiscoverSoftwareFilterPlaceholder")));
    m_filterField->setClearButtonEnabled(true);

    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("discoverSoftwareTable"));
    m_table->setModel(m_filter);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setIconSize(QSize(DiscoveredSoftwareModel::IconSize, DiscoveredSoftwareModel::IconSize));
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(DiscoveredSoftwareModel::IconSize + 6);
    m_table->horizontalHeader()->setSectionResizeMode(DiscoveredSoftwareModel::NameColumn, QHeaderView::Stretch);

    m_busy = new QProgressBar(this);
    m_busy->setObjectName(QStringLiteral("discoverBusyIndicator"));
    m_busy->setRange(0, 0); // indeterminate
    m_busy->setTextVisible(false);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("discoverStatusLabel"));

    auto* buttons = new QDialogButtonBox(this);
    m_selectAll = buttons->addButton(localizedString(QStringLiteral("DiscoverSoftwareSelectAllButton")),
                                     QDialogButtonBox::ActionRole);
    m_selectAll->setObjectName(QStringLiteral("discoverSelectAllButton"));
    m_addButton = buttons->addButton(localizedString(QStringLiteral("DiscoverSoftwareAddButton")),
                                     QDialogButtonBox::AcceptRole);
    m_addButton->setObjectName(QStringLiteral("discoverAddButton"));
    m_addButton->setDefault(true);
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setText(localizedString(QStringLiteral("CancelButton")));
    cancel->setObjectName(QStringLiteral("discoverCancelButton"));
    connect(m_selectAll, &QPushButton::clicked, this, &DiscoverSoftwareSheet::selectAll);
    connect(buttons, &QDialogButtonBox::accepted, this, &DiscoverSoftwareSheet::addChecked);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(m_busy);
    statusRow->addWidget(m_status, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_filterField);
    layout->addWidget(m_table, 1);
    layout->addLayout(statusRow);
    layout->addWidget(buttons);
    m_busy->hide();
}

void DiscoverSoftwareSheet::startScan()
{
    if (m_scanning) {
        return;
    }
    setScanning(true);
    // The work owns what it uses: a sheet closed meanwhile drops the result (the tracker does not
    // call back into a destroyed receiver).
    auto found = std::make_shared<QList<DiscoveredApplication>>();
    Scan scan = m_scan;
    m_jobs.start(
        ScanJob,
        [scan, found]() -> std::optional<QString> {
            *found = scan();
            return std::nullopt;
        },
        [this, found] { scanFinished(*found); }, BackgroundJobTracker::Placement::OwnThread, this);
}

void DiscoverSoftwareSheet::scanFinished(QList<DiscoveredApplication> found)
{
    if (m_catalogueCheck) {
        m_catalogueCheck(found);
    }
    QList<InstalledApplication> candidates;
    for (const DiscoveredApplication& discovered : found) {
        if (!discovered.inCatalogue && !discovered.application.noDisplay) {
            candidates.append(discovered.application);
        }
    }
    Log::write(QStringLiteral("Software discovery found %1 applications not in the catalogue.").arg(candidates.size()));
    m_model->setApplications(candidates);
    m_table->resizeColumnToContents(DiscoveredSoftwareModel::VersionColumn);
    setScanning(false);
}

void DiscoverSoftwareSheet::setScanning(bool scanning)
{
    m_scanning = scanning;
    m_busy->setVisible(scanning);
    m_table->setEnabled(!scanning);
    m_filterField->setEnabled(!scanning);
    updateStatus();
    updateButtons();
}

void DiscoverSoftwareSheet::updateStatus()
{
    if (m_scanning) {
        m_status->setText(localizedString(QStringLiteral("DiscoverSoftwareScanning")));
    } else if (m_model->rowCount() == 0) {
        m_status->setText(localizedString(QStringLiteral("DiscoverSoftwareNothingFound")));
    } else {
        m_status->setText(
            localizedFormat(QStringLiteral("DiscoverSoftwareCountFormat"), {QString::number(m_model->rowCount())}));
    }
}

void DiscoverSoftwareSheet::updateButtons()
{
    m_selectAll->setEnabled(!m_scanning && m_filter->rowCount() > 0);
    m_addButton->setEnabled(!m_scanning && m_model->checkedCount() > 0);
}

void DiscoverSoftwareSheet::selectAll()
{
    for (int row = 0; row < m_filter->rowCount(); ++row) {
        m_model->setChecked(m_filter->mapToSource(m_filter->index(row, 0)).row(), true);
    }
}

void DiscoverSoftwareSheet::addChecked()
{
    const QList<InstalledApplication> checked = m_model->checkedApplications();
    if (m_scanning || checked.isEmpty() || !m_add) {
        return;
    }
    QString error;
    const std::optional<QList<Persistence::ObjectID>> added = m_add(checked, &error);
    if (!added) {
        Log::write(QStringLiteral("Software discovery could not add the applications: %1").arg(error));
        if (m_ui) {
            m_ui->runAlert(Alert {
                AlertStyle::Warning, localizedString(QStringLiteral("DiscoverSoftwareAddFailed")), error, {}, -1});
        }
        return;
    }
    accept();
    emit productsAdded(*added);
}
