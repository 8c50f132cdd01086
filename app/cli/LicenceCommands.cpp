#include "LicenceCommands.h"

#include "CliSession.h"
#include "CommandLine.h"
#include "model/CurrencyCodes.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"
#include "products/CalendarExport.h"
#include "products/LicenceDue.h"
#include "products/LicenceDueText.h"
#include "products/LicenceReminder.h"
#include "products/ReminderLog.h"
#include "products/ReminderNotifier.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace {

using OpenMode = KeymoorAppDelegate::OpenMode;

// The days of --within: a whole number, 0 or more. Answers false after saying why.
bool withinDays(const CommandArguments& arguments, std::optional<int>& days, QTextStream& err)
{
    if (!arguments.isSet(QStringLiteral("within"))) {
        return true;
    }
    const QString text = arguments.value(QStringLiteral("within"));
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 0) {
        err << "keymoor: --within takes a number of days, 0 or more, not \"" << text << '"' << Qt::endl;
        return false;
    }
    days = value;
    return true;
}

// The library's products with the currency codes of the library; empty when there is no library.
struct LicenceData
{
    QList<LicenceTerms> terms;
    CurrencyCodes codes;
};

LicenceData licenceData(CliSession& session)
{
    LicenceData data;
    Persistence::ObjectContext* context = session.delegate().managedObjectContext();
    if (!context) {
        return data;
    }
    for (const ProductEntity* product : session.products()) {
        data.terms.append(LicenceTerms::fromProduct(*product));
    }
    data.codes = CurrencyCodes(*context);
    return data;
}

QJsonObject entryJson(const LicenceDueEntry& entry, const CurrencyCodes& codes)
{
    return QJsonObject {
        {QStringLiteral("uuid"), entry.uuid},
        {QStringLiteral("title"), entry.title},
        {QStringLiteral("kind"), entry.kindName()},
        {QStringLiteral("date"), entry.date.toString(Qt::ISODate)},
        {QStringLiteral("daysLeft"), entry.daysLeft},
        {QStringLiteral("renewalPrice"),
         entry.renewalPrice ? QJsonValue(entry.renewalPrice->toString()) : QJsonValue()},
        {QStringLiteral("currency"), LicenceDueText::currency(entry, codes)},
    };
}

int dueCommand(const CommandArguments& arguments, CliStreams& streams)
{
    std::optional<int> days;
    if (!arguments.positional().isEmpty() || !withinDays(arguments, days, streams.err)) {
        return arguments.usageError(streams.err);
    }
    CliSession session(streams, OpenMode::ReadOnly);
    if (!session.open()) {
        return 1;
    }
    const LicenceData data = licenceData(session);
    const QList<LicenceDueEntry> entries = LicenceDue::dueEntries(data.terms, QDate::currentDate(), days);
    if (arguments.isSet(QStringLiteral("json"))) {
        QJsonArray array;
        for (const LicenceDueEntry& entry : entries) {
            array.append(entryJson(entry, data.codes));
        }
        streams.out << QJsonDocument(array).toJson(QJsonDocument::Indented);
        return 0;
    }
    for (const LicenceDueEntry& entry : entries) {
        streams.out << LicenceDueText::line(entry, data.codes) << '\n';
    }
    return 0;
}

int remindCommand(const CommandArguments& arguments, CliStreams& streams)
{
    if (!arguments.positional().isEmpty()) {
        return arguments.usageError(streams.err);
    }
    CliSession session(streams, OpenMode::ReadOnly);
    if (!session.open()) {
        return 1;
    }
    const LicenceData data = licenceData(session);
    const QDate today = QDate::currentDate();
    ReminderLog log;
    log.load(); // a missing or damaged log is replaced when it is saved
    const ReminderNotifier notifier;
    LicenceReminder reminder(log, notifier);
    const LicenceReminder::Result result
        = reminder.remind(LicenceDue::dueEntries(data.terms, today, std::nullopt), data.codes, today);
    for (const QString& line : result.lines) {
        streams.out << line << '\n';
    }
    if (!result.warning.isEmpty()) {
        streams.err << "keymoor: " << result.warning << Qt::endl;
    }
    return 0;
}

CommandOptions dueOptions()
{
    return CommandOptions(
        QStringLiteral("due"),
        {CliOption::value(QStringLiteral("within"), QStringLiteral("DAYS"),
                          QStringLiteral("dates up to DAYS days ahead (default: each product's reminder lead)")),
         CliOption::flag(QStringLiteral("json"), QStringLiteral("print a JSON array"))});
}

} // namespace

CommandOptions exportIcsOptions()
{
    return CommandOptions(QStringLiteral("export ics"),
                          {CliOption::value(QStringLiteral("within"), QStringLiteral("DAYS"),
                                            QStringLiteral("only dates up to DAYS days ahead (and past ones)"))},
                          {{QStringLiteral("FILE"), QStringLiteral("the calendar file to write (replaced)")}});
}

int exportIcsCommand(const QStringList& words, CliStreams& streams)
{
    const std::optional<CommandArguments> parsed = exportIcsOptions().parse(words, streams.err);
    if (!parsed) {
        return 2;
    }
    std::optional<int> days;
    if (parsed->positional().size() != 1 || !withinDays(*parsed, days, streams.err)) {
        return parsed->usageError(streams.err);
    }
    const QFileInfo target(parsed->positional().first());
    if (target.isDir() || !target.absoluteDir().exists()) {
        streams.err << "keymoor: " << target.filePath() << ": not a file in an existing folder" << Qt::endl;
        return 1;
    }
    CliSession session(streams, OpenMode::ReadOnly);
    if (!session.open()) {
        return 1;
    }
    const LicenceData data = licenceData(session);
    const QDate today = QDate::currentDate();
    QList<LicenceDueEntry> entries;
    for (const LicenceTerms& terms : data.terms) {
        entries.append(days ? LicenceDue::dueEntries(terms, today, days) : LicenceDue::occurrences(terms, today));
    }
    LicenceDue::sortEntries(entries);
    CalendarExport calendar(QDateTime::currentDateTimeUtc(), data.codes);
    calendar.addEntries(data.terms, entries);
    QString error;
    if (!calendar.write(target.absoluteFilePath(), &error)) {
        streams.err << "keymoor: the calendar could not be written: " << error << Qt::endl;
        return 1;
    }
    streams.out << "Wrote " << calendar.eventCount() << " event(s) to " << target.absoluteFilePath() << Qt::endl;
    return 0;
}

void registerLicenceCommands(CommandLine& commandLine)
{
    commandLine.addCommand(CliCommand::withOptions(
        QStringLiteral("list licences that expire or renew soon, or have expired"),
        QStringLiteral("Lists the expiry and next renewal dates that fall within DAYS days from today (by default\n"
                       "within each product's own reminder lead, 30 days unless set), and the dates already\n"
                       "past, sorted by date. A renewal that repeats counts from its next date on or after\n"
                       "today. Archived products are left out. --json prints uuid, title, kind (expiry or\n"
                       "renewal), date, daysLeft (negative when past), renewalPrice and currency."),
        dueOptions(), dueCommand));
    commandLine.addCommand(CliCommand::withOptions(
        QStringLiteral("show a desktop notification for each licence that is due"),
        QStringLiteral("Shows one notification per product that \"keymoor due\" lists, at most once per product\n"
                       "and day (remembered in $XDG_STATE_HOME/Keymoor/reminders.json), and prints the same\n"
                       "lines. Without a desktop session or notification service only the lines are printed.\n"
                       "The keymoor-remind.timer user unit runs it daily."),
        CommandOptions(QStringLiteral("remind")), remindCommand));
}
