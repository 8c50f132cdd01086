#include "SpendingChart.h"

#include <QMap>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QValueAxis>

void SpendingChart::fill(QChart* chart, const QList<SpendingRow>& yearRows)
{
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    QStringList years;
    QMap<QString, QMap<QString, double>> byCurrency; // currency -> year -> total
    for (const SpendingRow& row : yearRows) {
        if (row.group == SpendingTotals::NoGroup) {
            continue;
        }
        if (!years.contains(row.group)) {
            years.append(row.group); // the rows come sorted by year
        }
        // Doubles only for drawing: the bar heights need no exact cents.
        byCurrency[row.currency][row.group] = row.total.toDouble();
    }
    auto* series = new QBarSeries(chart);
    double highest = 0;
    for (auto currency = byCurrency.cbegin(); currency != byCurrency.cend(); ++currency) {
        auto* set = new QBarSet(currency.key(), series);
        for (const QString& year : std::as_const(years)) {
            const double total = currency->value(year, 0.0);
            set->append(total);
            highest = qMax(highest, total);
        }
        series->append(set);
    }
    chart->addSeries(series);
    auto* yearAxis = new QBarCategoryAxis(chart);
    yearAxis->append(years);
    chart->addAxis(yearAxis, Qt::AlignBottom);
    series->attachAxis(yearAxis);
    auto* amountAxis = new QValueAxis(chart);
    amountAxis->setRange(0, highest > 0 ? highest * 1.1 : 1);
    amountAxis->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(amountAxis, Qt::AlignLeft);
    series->attachAxis(amountAxis);
    chart->legend()->setVisible(byCurrency.size() > 0);
}
