#pragma once

#include "report/SpendingTotals.h"

#include <QPointer>
#include <QWidget>

class KeymoorAppDelegate;
class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QTableWidget;

// The Spending window (Window > Spending): the totals of the catalogue as a table grouped as the
// person chooses (year, publisher, currency or licence type) and a bar chart per purchase year with
// one bar per currency. It follows the catalogue: every save and every change made by a command
// refills it while it is open.
class SpendingWindow : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SpendingWindow)

public:
    explicit SpendingWindow(KeymoorAppDelegate* delegate, QWidget* parent = nullptr);
    ~SpendingWindow() override;

    // The Spending window of `owner` (made the first time), shown and brought forward.
    static SpendingWindow* showFor(KeymoorAppDelegate* delegate, QWidget* owner);

    // Reads the totals again and fills the table and the chart.
    void refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout();
    void fillTable(const QList<SpendingRow>& rows);
    std::optional<QList<SpendingRow>> totals(SpendingTotals::Grouping grouping);

    QPointer<KeymoorAppDelegate> m_delegate; // the window may outlive it
    QComboBox* m_grouping = nullptr;
    QTableWidget* m_table = nullptr;
    QChart* m_chart = nullptr;
    QChartView* m_chartView = nullptr;
    QLabel* m_message = nullptr;
};
