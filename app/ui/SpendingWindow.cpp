#include "SpendingWindow.h"

#include "SpendingChart.h"
#include "base/Localization.h"
#include "core/KeymoorAppDelegate.h"
#include "model/PriceText.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>

namespace {

const QStringList& groupingTitleKeys()
{
    // In the order of SpendingTotals::groupingNames().
    static const QStringList keys {QStringLiteral("SpendingByYear"), QStringLiteral("SpendingByPublisher"),
                                   QStringLiteral("SpendingByCurrency"), QStringLiteral("SpendingByType")};
    return keys;
}

QTableWidgetItem* cell(const QString& text, bool number)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (number) {
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    return item;
}

} // namespace

SpendingWindow::SpendingWindow(KeymoorAppDelegate* delegate, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_delegate(delegate)
{
    setObjectName(QStringLiteral("spendingWindow"));
    setWindowTitle(localizedString(QStringLiteral("SpendingWindowTitle")));
    buildLayout();
    const auto refreshWhenShown = [this] {
        if (isVisible()) {
            refresh();
        }
    };
    connect(delegate, &KeymoorAppDelegate::productsChanged, this, refreshWhenShown);
    connect(delegate, &KeymoorAppDelegate::productChanged, this, refreshWhenShown);
    if (Persistence::ObjectContext* context = delegate->managedObjectContext()) {
        connect(context, &Persistence::ObjectContext::didSave, this, refreshWhenShown);
    }
    resize(720, 560);
}

SpendingWindow::~SpendingWindow() = default;

SpendingWindow* SpendingWindow::showFor(KeymoorAppDelegate* delegate, QWidget* owner)
{
    auto* window = owner->findChild<SpendingWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window) {
        window = new SpendingWindow(delegate, owner);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void SpendingWindow::buildLayout()
{
    m_grouping = new QComboBox(this);
    m_grouping->setObjectName(QStringLiteral("spendingGrouping"));
    for (const QString& key : groupingTitleKeys()) {
        m_grouping->addItem(localizedString(key));
    }
    connect(m_grouping, &QComboBox::currentIndexChanged, this, &SpendingWindow::refresh);

    m_table = new QTableWidget(0, 5, this);
    m_table->setObjectName(QStringLiteral("spendingTable"));
    m_table->setHorizontalHeaderLabels({localizedString(QStringLiteral("SpendingGroupColumn")),
                                        localizedString(QStringLiteral("SpendingCurrencyColumn")),
                                        localizedString(QStringLiteral("SpendingTotalColumn")),
                                        localizedString(QStringLiteral("SpendingCountColumn")),
                                        localizedString(QStringLiteral("SpendingAnnualRecurringColumn"))});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);

    m_chart = new QChart();
    m_chart->setTitle(localizedString(QStringLiteral("SpendingChartTitle")));
    m_chartView = new QChartView(m_chart, this);
    m_chartView->setObjectName(QStringLiteral("spendingChart"));
    m_chartView->setRenderHint(QPainter::Antialiasing);

    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("spendingMessage"));
    m_message->setWordWrap(true);
    m_message->hide();

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(localizedString(QStringLiteral("SpendingGroupByLabel")), this));
    top->addWidget(m_grouping);
    top->addStretch();
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_table);
    splitter->addWidget(m_chartView);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_message);
    layout->addWidget(splitter, 1);
}

std::optional<QList<SpendingRow>> SpendingWindow::totals(SpendingTotals::Grouping grouping)
{
    Persistence::ObjectContext* context = m_delegate ? m_delegate->managedObjectContext() : nullptr;
    if (!context) {
        return QList<SpendingRow>(); // no library, nothing spent
    }
    QString error;
    auto rows = SpendingTotals::ofLibrary(*context, grouping, &error);
    if (!rows) {
        m_message->setText(localizedFormat(QStringLiteral("SpendingUnreadableFormat"), {error}));
        m_message->show();
    }
    return rows;
}

void SpendingWindow::refresh()
{
    m_message->hide();
    const auto grouping = static_cast<SpendingTotals::Grouping>(qMax(0, m_grouping->currentIndex()));
    const auto rows = totals(grouping);
    if (!rows) {
        return;
    }
    fillTable(*rows);
    const auto yearRows = grouping == SpendingTotals::Grouping::Year ? rows : totals(SpendingTotals::Grouping::Year);
    if (yearRows) {
        SpendingChart::fill(m_chart, *yearRows);
    }
}

void SpendingWindow::fillTable(const QList<SpendingRow>& rows)
{
    m_table->setRowCount(int(rows.size()));
    for (int index = 0; index < rows.size(); ++index) {
        const SpendingRow& row = rows.at(index);
        const PriceText prices(row.currency, row.currency); // the interface's separators, as in the details
        m_table->setItem(index, 0, cell(row.group, false));
        m_table->setItem(index, 1, cell(row.currency, false));
        m_table->setItem(index, 2, cell(prices.toText(row.total), true));
        m_table->setItem(index, 3, cell(QString::number(row.count), true));
        m_table->setItem(index, 4, cell(prices.toText(row.annualRecurring), true));
    }
    m_table->resizeColumnsToContents();
}

void SpendingWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    refresh();
}
