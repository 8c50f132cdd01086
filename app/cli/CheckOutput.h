#pragma once

#include <QJsonObject>

#include <optional>

class LibraryCheckReport;
class QTextStream;
struct LibraryRepairResult;

// How `keymoor check` shows what it found (and, with --repair, what it did): one line per finding
// and a summary line, or one JSON object.
namespace CheckOutput {

void printText(QTextStream& out, const LibraryCheckReport& found);
// What the repair did, then (when it changed anything) what the check finds afterwards.
void printRepairText(QTextStream& out, const LibraryRepairResult& repair, const LibraryCheckReport& after);

// {"library", "exists", "clean", "findings": [{"kind", "message", "path", "product", "productTitle"}],
//  and with a repair "repair": {"succeeded", "error", "mendedReferences", "removedRecords",
//  "keptRecords", "movedFiles", "orphanFolder", "unmovedFiles", "remaining": [findings]}}.
// "clean" tells whether the library is in order at the end.
QJsonObject toJson(const LibraryCheckReport& found, const LibraryRepairResult* repair = nullptr,
                   const LibraryCheckReport* after = nullptr);

} // namespace CheckOutput
