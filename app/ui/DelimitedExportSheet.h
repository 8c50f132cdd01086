#pragma once

#include "model/ExportField.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QRadioButton;
class ZRDataMigrator;

// The options of the delimited export: the fields to write (checked) in the order of the list,
// which the person may drag into another order, the delimiter (comma, tab or a text of their own)
// and whether a header line comes first. Starts with the data migrator's options; "Export" writes
// them back into it, "Cancel" leaves them as they were.
class DelimitedExportSheet : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DelimitedExportSheet)

public:
    DelimitedExportSheet(ZRDataMigrator* migrator, QWidget* window);
    ~DelimitedExportSheet() override;

    ExportFieldList fields() const;

    // Writes the sheet's choices into the migrator (what "Export" does before it closes).
    void applyToMigrator();

private:
    ZRDataMigrator* m_migrator;
    QListWidget* m_list;
    QRadioButton* m_comma;
    QRadioButton* m_tab;
    QRadioButton* m_custom;
    QLineEdit* m_customText;
    QCheckBox* m_header;
};
