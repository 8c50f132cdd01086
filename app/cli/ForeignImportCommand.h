#pragma once

#include <QStringList>

struct CliStreams;

// `keymoor import FILE...` for the exports of password managers: reads the files, matches their
// licences with the catalogue and, unless `dryRun`, adds and updates the products in one change.
// Prints "N added, M updated, K already there" (and the entries skipped as no licence), or with
// `json` every record with what happens to it. Answers the exit status.
int importForeignFiles(const QStringList& paths, bool dryRun, bool json, CliStreams& streams);
