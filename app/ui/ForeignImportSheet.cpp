#include "ForeignImportSheet.h"

#include "base/Localization.h"
#include "base/UserInterface.h"
#include "import/ForeignImportService.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString actionText(ForeignImportPlan::Action action)
{
    switch (action) {
    case ForeignImportPlan::Action::Add:
        return localizedString(QStringLiteral("ForeignImportActionNew"));
    case ForeignImportPlan::Action::Update:
        return localizedString(QStringLiteral("ForeignImportActionUpdates"));
    case ForeignImportPlan::Action::AlreadyThere:
        break;
    }
    return localizedString(QStringLiteral("ForeignImportActionAlreadyThere"));
}

} // namespace

ForeignImportSheet::ForeignImportSheet(LibrarySession& session, UserInterface* ui, QWidget* window)
    : QDialog(window)
    , m_service(std::make_unique<ForeignImportService>(session))
    , m_ui(ui)
{
    setObjectName(QStringLiteral("foreignImportSheet"));
    setWindowTitle(localizedString(QStringLiteral("ForeignImportSheetTitle")));
    auto* layout = new QVBoxLayout(this);
    m_status = new QLabel(localizedString(QStringLiteral("ForeignImportReading")), this);
    m_status->setObjectName(QStringLiteral("foreignImportStatus"));
    layout->addWidget(m_status);
    m_table = new QTableWidget(0, 3, this);
    m_table->setObjectName(QStringLiteral("foreignImportTable"));
    m_table->setHorizontalHeaderLabels({localizedString(QStringLiteral("ForeignImportColumnTitle")),
                                        localizedString(QStringLiteral("ForeignImportColumnSerial")),
                                        localizedString(QStringLiteral("ForeignImportColumnAction"))});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    layout->addWidget(m_table);
    m_warnings = new QLabel(this);
    m_warnings->setObjectName(QStringLiteral("foreignImportWarnings"));
    m_warnings->setWordWrap(true);
    m_warnings->hide();
    layout->addWidget(m_warnings);
    auto* buttons = new QDialogButtonBox(this);
    m_importButton = buttons->addButton(localizedString(QStringLiteral("ImportButton")), QDialogButtonBox::AcceptRole);
    m_importButton->setObjectName(QStringLiteral("foreignImportButton"));
    m_importButton->setEnabled(false);
    buttons->addButton(localizedString(QStringLiteral("CancelButton")), QDialogButtonBox::RejectRole);
    connect(m_importButton, &QPushButton::clicked, this, &ForeignImportSheet::importRecords);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(640, 420);
}

ForeignImportSheet::~ForeignImportSheet() = default;

ForeignImportSheet* ForeignImportSheet::chooseAndOpen(LibrarySession& session, UserInterface* ui, QWidget* window)
{
    if (!ui) {
        return nullptr;
    }
    OpenPanelOptions options;
    options.title = localizedString(QStringLiteral("ForeignImportOpenPanelTitle"));
    options.prompt = localizedString(QStringLiteral("ImportButton"));
    options.allowsMultipleSelection = true;
    const std::optional<QStringList> paths = ui->runOpenPanel(options);
    if (!paths || paths->isEmpty()) {
        return nullptr;
    }
    auto* sheet = new ForeignImportSheet(session, ui, window);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->open();
    sheet->startReading(*paths);
    return sheet;
}

void ForeignImportSheet::startReading(const QStringList& paths)
{
    m_reading = true;
    m_service->startReading(
        paths, [this](const ForeignReadResult& result) { readingFinished(result); }, this);
}

void ForeignImportSheet::readingFinished(const ForeignReadResult& result)
{
    m_reading = false;
    QString error = result.error.value_or(QString());
    if (error.isEmpty() && m_service->plan(result, &m_plan, &error)) {
        showPlan();
        return;
    }
    if (m_ui) {
        m_ui->presentError(PresentableError {localizedString(QStringLiteral("ForeignImportFailedTitle")), error, {}});
    }
    reject();
}

void ForeignImportSheet::showPlan()
{
    m_table->setRowCount(int(m_plan.items.size()));
    for (int row = 0; row < m_plan.items.size(); ++row) {
        const ForeignImportPlan::Item& item = m_plan.items.at(row);
        m_table->setItem(row, 0, new QTableWidgetItem(item.record.title));
        m_table->setItem(row, 1, new QTableWidgetItem(item.record.serialNumber));
        m_table->setItem(row, 2, new QTableWidgetItem(actionText(item.action)));
    }
    m_table->resizeColumnsToContents();
    using Action = ForeignImportPlan::Action;
    m_status->setText(localizedFormat(
        QStringLiteral("ForeignImportSummaryFormat"),
        {QString::number(m_plan.count(Action::Add)), QString::number(m_plan.count(Action::Update)),
         QString::number(m_plan.count(Action::AlreadyThere)), QString::number(m_plan.skippedNotLicence)}));
    m_warnings->setText(m_plan.warnings.join(QLatin1Char('\n')));
    m_warnings->setVisible(!m_plan.warnings.isEmpty());
    m_importButton->setEnabled(m_plan.count(Action::Add) + m_plan.count(Action::Update) > 0);
}

void ForeignImportSheet::importRecords()
{
    QString error;
    const std::optional<QList<Persistence::ObjectID>> ids = m_service->import(m_plan, &error);
    if (!ids) {
        if (m_ui) {
            m_ui->presentError(
                PresentableError {localizedString(QStringLiteral("ForeignImportFailedTitle")), error, {}});
        }
        return;
    }
    emit productsImported(*ids);
    accept();
}
