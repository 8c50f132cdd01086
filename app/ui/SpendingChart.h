#pragma once

#include "report/SpendingTotals.h"

#include <QList>

class QChart;

// The bar chart of the Spending window: one category per purchase year, one bar set per currency
// (two currencies never share a bar), each bar the total of that year in that currency.
class SpendingChart
{
public:
    SpendingChart() = delete;

    // Replaces the chart's series and axes with those of the rows (grouped by year). Products
    // without a purchase date have no year and no bar.
    static void fill(QChart* chart, const QList<SpendingRow>& yearRows);
};
