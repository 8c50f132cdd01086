#pragma once

#include "import/SoftwareDiscoveryService.h"
#include "persistence/ObjectID.h"

#include <QDialog>
#include <QList>

#include <functional>
#include <optional>

class BackgroundJobTracker;
class DiscoveredSoftwareModel;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class UserInterface;

// "Discover Installed Software": lists the installed applications the catalogue does not have
// yet, with a filter field (name, ID or source, ignoring case), a check box per row, Select All,
// Add and Cancel. The scan runs on the background-job tracker while the sheet shows a busy
// indicator; Add hands the checked applications to the catalogue in one change, announces the new
// products and closes the sheet. An error is shown in an alert and leaves the sheet open.
class DiscoverSoftwareSheet : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DiscoverSoftwareSheet)

public:
    // The kind of background job of the scan.
    static inline const QString ScanJob = QStringLiteral("DiscoverInstalledSoftware");

    // Runs off the main thread: the installed applications (reading no library object).
    using Scan = std::function<QList<DiscoveredApplication>()>;
    // Runs on the main thread when the scan is done: marks the applications the catalogue has.
    using CatalogueCheck = std::function<void(QList<DiscoveredApplication>&)>;
    // Runs on the main thread: adds the applications as new products (nullopt and an error text
    // when nothing was added).
    using Add = std::function<std::optional<QList<Persistence::ObjectID>>(const QList<InstalledApplication>&,
                                                                          QString* error)>;

    DiscoverSoftwareSheet(BackgroundJobTracker& jobs, UserInterface* ui, Scan scan, Add add, QWidget* window);
    ~DiscoverSoftwareSheet() override;

    // Starts the scan; the rows follow when it is done.
    void startScan();
    bool isScanning() const { return m_scanning; }
    // Without one, the scan's own marks are used.
    void setCatalogueCheck(CatalogueCheck check) { m_catalogueCheck = std::move(check); }

    DiscoveredSoftwareModel* model() const { return m_model; }
    // Checks every row the filter shows.
    void selectAll();
    // Adds the checked applications (what "Add" does).
    void addChecked();

signals:
    // Products were added for the applications checked, in the order of the rows.
    void productsAdded(const QList<Persistence::ObjectID>& productIDs);

private:
    void buildWidgets();
    void scanFinished(QList<DiscoveredApplication> found);
    void setScanning(bool scanning);
    void updateButtons();
    void updateStatus();

    BackgroundJobTracker& m_jobs;
    UserInterface* m_ui;
    Scan m_scan;
    Add m_add;
    CatalogueCheck m_catalogueCheck;
    bool m_scanning = false;
    DiscoveredSoftwareModel* m_model;
    QSortFilterProxyModel* m_filter;
    QLineEdit* m_filterField = nullptr;
    QTableView* m_table = nullptr;
    QProgressBar* m_busy = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_selectAll = nullptr;
    QPushButton* m_addButton = nullptr;
};
