#pragma once

#include "CommandOptions.h"

#include <QList>
#include <QStringList>

class ProductEntity;
struct CliStreams;

// `keymoor export snipeit FILE`: the catalogue as the licences CSV an asset register imports.
namespace ExportSnipeItCommand {

CommandOptions options();
int run(const QStringList& words, CliStreams& streams);

// The whole CSV text: the header row, then one row per product sorted by title. Every field is
// quoted; a double quote inside a field becomes an apostrophe, as in the other CSV export.
QByteArray csv(QList<const ProductEntity*> products);

} // namespace ExportSnipeItCommand
