#pragma once

#include <QList>
#include <QPair>
#include <QString>

// One exportable product attribute of the delimited export: its label (shown in the options sheet
// and written in the header line), the key path whose value is written, and whether it is written.
struct ExportField
{
    QString label;
    QString keyPath;
    bool active = true;
};

using ExportFieldList = QList<ExportField>;

// The key paths a delimited export writes and an import reads, in their fixed order, each with the
// key of its localized label.
const QList<QPair<QString, QString>>& exportableKeyPathLabelKeys();
