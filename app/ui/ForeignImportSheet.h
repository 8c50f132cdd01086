#pragma once

#include "import/ForeignImportPlan.h"
#include "persistence/ObjectID.h"

#include <QDialog>
#include <QList>
#include <QStringList>

#include <memory>

class ForeignImportService;
class LibrarySession;
class QLabel;
class QPushButton;
class QTableWidget;
class UserInterface;

// "Import from Password Manager": reads the chosen exports on the background-job tracker while the
// sheet says so, then lists every licence found with its title, serial number and what the import
// would do ("new", "updates", "already there"), with the entries skipped as no licence and any
// warnings below. Import adds and updates the products in one change (one undo step) and closes
// the sheet; Cancel closes it with nothing written. A file that cannot be read is shown in an
// alert and closes the sheet; a failed import is shown and leaves it open.
class ForeignImportSheet : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ForeignImportSheet)

public:
    ForeignImportSheet(LibrarySession& session, UserInterface* ui, QWidget* window);
    ~ForeignImportSheet() override;

    // Asks for the export files, then opens a sheet over the window (deleted when closed) that
    // reads them. Null when the person chose nothing.
    static ForeignImportSheet* chooseAndOpen(LibrarySession& session, UserInterface* ui, QWidget* window);

    // Starts reading; the rows follow when it is done.
    void startReading(const QStringList& paths);
    bool isReading() const { return m_reading; }
    const ForeignImportPlan& plan() const { return m_plan; }
    QTableWidget* table() const { return m_table; }
    // What "Import" does.
    void importRecords();

signals:
    void productsImported(const QList<Persistence::ObjectID>& productIDs);

private:
    void readingFinished(const ForeignReadResult& result);
    void showPlan();

    std::unique_ptr<ForeignImportService> m_service;
    UserInterface* m_ui;
    ForeignImportPlan m_plan;
    bool m_reading = false;
    QTableWidget* m_table = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_warnings = nullptr;
    QPushButton* m_importButton = nullptr;
};
