#include "CheckOutput.h"

#include "base/Localization.h"
#include "maintenance/LibraryCheckReport.h"
#include "maintenance/LibraryRepair.h"

#include <QJsonArray>
#include <QTextStream>

namespace {

QJsonValue textOrNull(const QString& text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QJsonArray findingsJson(const LibraryCheckReport& report)
{
    QJsonArray findings;
    for (const LibraryCheckFinding& finding : report.findings()) {
        findings.append(QJsonObject {{QStringLiteral("kind"), LibraryCheckFinding::kindName(finding.kind)},
                                     {QStringLiteral("message"), finding.message},
                                     {QStringLiteral("path"), textOrNull(finding.path)},
                                     {QStringLiteral("product"), textOrNull(finding.productUuid)},
                                     {QStringLiteral("productTitle"), textOrNull(finding.productTitle)}});
    }
    return findings;
}

QString summary(const LibraryCheckReport& report)
{
    const QString folder = report.location().libraryFolder;
    if (!report.libraryExists()) {
        return localizedFormat(QStringLiteral("CheckNoLibraryFormat"), {folder});
    }
    if (report.isClean()) {
        return localizedFormat(QStringLiteral("CheckSummaryCleanFormat"), {folder});
    }
    return localizedFormat(QStringLiteral("CheckSummaryProblemsFormat"),
                           {QString::number(report.findings().size()), folder});
}

QJsonObject repairJson(const LibraryRepairResult& repair, const LibraryCheckReport& after)
{
    return {{QStringLiteral("succeeded"), repair.succeeded},
            {QStringLiteral("error"), textOrNull(repair.error)},
            {QStringLiteral("mendedReferences"), repair.mendedReferences},
            {QStringLiteral("removedRecords"), repair.removedRecords},
            {QStringLiteral("keptRecords"), repair.keptRecords},
            {QStringLiteral("movedFiles"), repair.movedFiles},
            {QStringLiteral("orphanFolder"), textOrNull(repair.orphanFolder)},
            {QStringLiteral("unmovedFiles"), QJsonArray::fromStringList(repair.unmovedFiles)},
            {QStringLiteral("remaining"), findingsJson(after)}};
}

} // namespace

namespace CheckOutput {

void printText(QTextStream& out, const LibraryCheckReport& found)
{
    for (const LibraryCheckFinding& finding : found.findings()) {
        out << finding.message << '\n';
    }
    out << summary(found) << Qt::endl;
}

void printRepairText(QTextStream& out, const LibraryRepairResult& repair, const LibraryCheckReport& after)
{
    if (repair.movedFiles > 0) {
        out << localizedFormat(QStringLiteral("CheckRepairMovedFormat"),
                               {QString::number(repair.movedFiles), repair.orphanFolder})
            << '\n';
    }
    if (repair.mendedReferences > 0) {
        out << localizedFormat(QStringLiteral("CheckRepairMendedFormat"), {QString::number(repair.mendedReferences)})
            << '\n';
    }
    if (repair.removedRecords > 0) {
        out << localizedFormat(QStringLiteral("CheckRepairRemovedFormat"), {QString::number(repair.removedRecords)})
            << '\n';
    }
    if (repair.keptRecords > 0) {
        out << localizedFormat(QStringLiteral("CheckRepairKeptFormat"), {QString::number(repair.keptRecords)}) << '\n';
    }
    if (repair.movedFiles + repair.mendedReferences + repair.removedRecords == 0) {
        out.flush();
        return; // nothing changed: what was found still stands
    }
    printText(out, after);
}

QJsonObject toJson(const LibraryCheckReport& found, const LibraryRepairResult* repair, const LibraryCheckReport* after)
{
    const LibraryCheckReport& last = after ? *after : found;
    QJsonObject object {{QStringLiteral("library"), found.location().libraryFolder},
                        {QStringLiteral("exists"), found.libraryExists()},
                        {QStringLiteral("clean"), last.isClean() && (!repair || repair->succeeded)},
                        {QStringLiteral("findings"), findingsJson(found)}};
    if (repair && after) {
        object.insert(QStringLiteral("repair"), repairJson(*repair, *after));
    }
    return object;
}

} // namespace CheckOutput
