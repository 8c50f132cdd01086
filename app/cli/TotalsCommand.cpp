#include "TotalsCommand.h"

#include "CliSession.h"
#include "CommandLine.h"
#include "base/Localization.h"
#include "persistence/ObjectContext.h"
#include "report/SpendingTotals.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace {

using OpenMode = KeymoorAppDelegate::OpenMode;

QJsonArray rowsJson(const QList<SpendingRow>& rows)
{
    QJsonArray array;
    for (const SpendingRow& row : rows) {
        array.append(QJsonObject {{QStringLiteral("group"), row.group},
                                  {QStringLiteral("currency"), row.currency},
                                  {QStringLiteral("total"), row.total.toString()},
                                  {QStringLiteral("count"), row.count},
                                  {QStringLiteral("annualRecurring"), row.annualRecurring.toString()}});
    }
    return array;
}

// A table with a header line; text columns left-aligned, numbers right-aligned.
void printTable(const QList<SpendingRow>& rows, QTextStream& out)
{
    QList<QStringList> lines {{localizedString(QStringLiteral("SpendingGroupColumn")),
                               localizedString(QStringLiteral("SpendingCurrencyColumn")),
                               localizedString(QStringLiteral("SpendingTotalColumn")),
                               localizedString(QStringLiteral("SpendingCountColumn")),
                               localizedString(QStringLiteral("SpendingAnnualRecurringColumn"))}};
    for (const SpendingRow& row : rows) {
        lines.append({row.group, row.currency, row.total.toString(), QString::number(row.count),
                      row.annualRecurring.toString()});
    }
    QList<qsizetype> widths(lines.first().size(), 0);
    for (const QStringList& line : std::as_const(lines)) {
        for (qsizetype column = 0; column < line.size(); ++column) {
            widths[column] = qMax(widths[column], line[column].size());
        }
    }
    for (const QStringList& line : std::as_const(lines)) {
        QStringList cells;
        for (qsizetype column = 0; column < line.size(); ++column) {
            cells.append(column < 2 ? line[column].leftJustified(widths[column])
                                    : line[column].rightJustified(widths[column]));
        }
        out << cells.join(QStringLiteral("  ")).trimmed() << '\n';
    }
}

int totalsCommand(const CommandArguments& arguments, CliStreams& streams)
{
    if (!arguments.positional().isEmpty()) {
        return arguments.usageError(streams.err);
    }
    const QString by
        = arguments.isSet(QStringLiteral("by")) ? arguments.value(QStringLiteral("by")) : QStringLiteral("year");
    const std::optional<SpendingTotals::Grouping> grouping = SpendingTotals::groupingNamed(by);
    if (!grouping) {
        streams.err << "keymoor: "
                    << localizedFormat(QStringLiteral("SpendingUnknownGroupingFormat"),
                                       {by, SpendingTotals::groupingNames().join(QStringLiteral(", "))})
                    << Qt::endl;
        return arguments.usageError(streams.err);
    }
    CliSession session(streams, OpenMode::ReadOnly);
    if (!session.open()) {
        return 1;
    }
    QList<SpendingRow> rows;
    if (Persistence::ObjectContext* context = session.delegate().managedObjectContext()) { // no library: no rows
        QString error;
        const auto totals = SpendingTotals::ofLibrary(*context, *grouping, &error);
        if (!totals) {
            streams.err << "keymoor: " << localizedFormat(QStringLiteral("SpendingUnreadableFormat"), {error})
                        << Qt::endl;
            return 1;
        }
        rows = *totals;
    }
    if (arguments.isSet(QStringLiteral("json"))) {
        streams.out << QJsonDocument(rowsJson(rows)).toJson();
    } else {
        printTable(rows, streams.out);
    }
    streams.out.flush();
    return 0;
}

} // namespace

void registerTotalsCommand(CommandLine& commandLine)
{
    commandLine.addCommand(CliCommand::withOptions(
        QStringLiteral("sum what the products cost"),
        QStringLiteral("Sums the purchase prices per group and per currency (two currencies are never added),\n"
                       "counts the products (those without a price too) and gives the yearly cost of what\n"
                       "renews: renewal price x 12 / renewal period in months. Archived products count in\n"
                       "the totals but renew no more. Groups: year of purchase (the default), publisher,\n"
                       "currency or licence type; \"none\" gathers the products that do not say."),
        CommandOptions(QStringLiteral("totals"),
                       {CliOption::value(QStringLiteral("by"), QStringLiteral("year|publisher|currency|type"),
                                         QStringLiteral("what to group by (default: year)")),
                        CliOption::flag(QStringLiteral("json"),
                                        QStringLiteral("print an array of objects: group, currency, total, "
                                                       "count, annualRecurring"))},
                       {}),
        totalsCommand));
}
