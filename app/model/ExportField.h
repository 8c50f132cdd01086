#pragma once

#include <QList>
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
