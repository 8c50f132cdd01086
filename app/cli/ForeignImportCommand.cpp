#include "ForeignImportCommand.h"

#include "CliCommand.h"
#include "CliSession.h"
#include "import/ForeignImportService.h"
#include "library/BackgroundJobTracker.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace {

using Action = ForeignImportPlan::Action;

QString actionName(Action action)
{
    switch (action) {
    case Action::Add:
        return QStringLiteral("add");
    case Action::Update:
        return QStringLiteral("update");
    case Action::AlreadyThere:
        break;
    }
    return QStringLiteral("already there");
}

QJsonObject recordJson(const ForeignImportPlan::Item& item)
{
    const ForeignRecord& record = item.record;
    QJsonObject object {{QStringLiteral("action"), actionName(item.action)},
                        {QStringLiteral("title"), record.title},
                        {QStringLiteral("serialNumber"), record.serialNumber}};
    const auto put = [&object](const char* key, const QString& value) {
        if (!value.isEmpty()) {
            object.insert(QLatin1String(key), value);
        }
    };
    put("productVersion", record.version);
    put("registeredName", record.registeredName);
    put("registeredEmail", record.registeredEmail);
    put("registeredCompany", record.registeredCompany);
    put("publisher", record.publisher);
    put("productWebsite", record.website);
    put("purchaseDate", record.purchaseDate);
    put("purchasePrice", record.price);
    put("expiryDate", record.expiryDate.toString(Qt::ISODate));
    QJsonArray fields;
    for (const ForeignField& field : record.unmapped) {
        fields.append(QJsonObject {{QStringLiteral("name"), field.name}, {QStringLiteral("value"), field.value}});
    }
    if (!fields.isEmpty()) {
        object.insert(QStringLiteral("importedFields"), fields);
    }
    QJsonArray attachments;
    for (const ForeignAttachment& attachment : record.attachments) {
        attachments.append(attachment.fileName);
    }
    if (!attachments.isEmpty()) {
        object.insert(QStringLiteral("attachments"), attachments);
    }
    return object;
}

void printPlan(QTextStream& out, const ForeignImportPlan& plan, bool dryRun, bool json)
{
    if (json) {
        QJsonArray records;
        for (const ForeignImportPlan::Item& item : plan.items) {
            records.append(recordJson(item));
        }
        const QJsonObject root {
            {QStringLiteral("dryRun"), dryRun},
            {QStringLiteral("formats"), QJsonArray::fromStringList(plan.formats)},
            {QStringLiteral("added"), plan.count(Action::Add)},
            {QStringLiteral("updated"), plan.count(Action::Update)},
            {QStringLiteral("alreadyThere"), plan.count(Action::AlreadyThere)},
            {QStringLiteral("skippedNotLicence"), plan.skippedNotLicence},
            {QStringLiteral("warnings"), QJsonArray::fromStringList(plan.warnings)},
            {QStringLiteral("records"), records},
        };
        out << QJsonDocument(root).toJson(QJsonDocument::Indented);
        return;
    }
    if (dryRun) {
        for (const ForeignImportPlan::Item& item : plan.items) {
            out << actionName(item.action) << ": " << item.record.title;
            if (!item.record.serialNumber.isEmpty()) {
                out << " (" << item.record.serialNumber << ")";
            }
            out << Qt::endl;
        }
        out << "Would import: ";
    }
    out << plan.count(Action::Add) << " added, " << plan.count(Action::Update) << " updated, "
        << plan.count(Action::AlreadyThere) << " already there";
    if (plan.skippedNotLicence > 0) {
        out << ", " << plan.skippedNotLicence << " skipped (not a licence)";
    }
    out << Qt::endl;
}

} // namespace

int importForeignFiles(const QStringList& paths, bool dryRun, bool json, CliStreams& streams)
{
    CliSession session(streams,
                       dryRun ? KeymoorAppDelegate::OpenMode::ReadOnly : KeymoorAppDelegate::OpenMode::ReadWrite);
    if (!session.open()) {
        return 1;
    }
    ForeignImportService service(session.delegate().session());
    ForeignReadResult read;
    service.startReading(paths, [&read](const ForeignReadResult& result) { read = result; });
    session.delegate().jobs().waitFor(ForeignImportService::ReadJob);
    if (read.error) {
        streams.err << "keymoor: " << *read.error << Qt::endl;
        return 1;
    }
    for (const QString& warning : std::as_const(read.warnings)) {
        streams.err << "keymoor: " << warning << Qt::endl;
    }
    ForeignImportPlan plan;
    QString error;
    if (!service.plan(read, &plan, &error)) {
        streams.err << "keymoor: " << error << Qt::endl;
        return 1;
    }
    if (!dryRun && !service.import(plan, &error)) {
        streams.err << "keymoor: " << error << Qt::endl;
        return 1;
    }
    printPlan(streams.out, plan, dryRun, json);
    if (!dryRun) {
        session.finish();
    }
    return 0;
}
