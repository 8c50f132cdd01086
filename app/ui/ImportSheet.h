#pragma once

#include "import/ZRImportSheetController.h"

#include <QDialog>
#include <QPointer>

#include <functional>

class KeymoorAppDelegate;
class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTableWidget;
class QToolBar;

// The import sheet: a toolbar of import kinds (text, XML, Keymoor export folder and, when Yojimbo is
// installed, Yojimbo), each with a pane of choices, and the Import and Cancel buttons. The choices
// live in a ZRImportSheetController, so they stay as they were for the next showing. "Import" hands
// them to the importer of the pane shown; the text import then runs in the background under the
// window's progress sheet, whose Cancel stops it and keeps nothing of it.
class ImportSheet : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ImportSheet)

public:
    using Pane = ZRImportSheetController::Pane;

    // `importExportFolder` runs the export-folder import (the window's maintenance commands).
    ImportSheet(KeymoorAppDelegate* delegate, ZRImportSheetController* controller,
                std::function<void(const QString&, bool)> importExportFolder, QWidget* window);
    ~ImportSheet() override;

    Pane activePane() const { return m_pane; }
    void setActivePane(Pane pane);
    bool hasPane(Pane pane) const;

    // The file choosers: an open panel through the controller's interface, starting in the
    // "Export Attachment Path" folder.
    void chooseTextFile();
    void chooseXMLFile();
    void chooseKeymoorXMLFile();

    // Ends the sheet and starts the import of the pane shown (what "Import" does).
    void importAction();

private:
    QWidget* buildTextPane();
    QWidget* buildXMLPane();
    QWidget* buildKeymoorPane();
    QWidget* buildYojimboPane();
    QWidget* fileRow(QLineEdit* field, void (ImportSheet::*choose)());
    void addPaneAction(Pane pane, const QIcon& icon, const QString& labelKey);
    void reloadPreview();
    void updateImportButton();
    void offerCancelOfTextImports();
    std::optional<QString> choosePath(bool folders);

    QPointer<KeymoorAppDelegate> m_delegate;
    ZRImportSheetController* m_controller;
    std::function<void(const QString&, bool)> m_importExportFolder;
    Pane m_pane = Pane::Text;
    QToolBar* m_toolbar;
    QStackedWidget* m_panes;
    QList<QPair<Pane, QAction*>> m_paneActions;
    QLineEdit* m_textFile = nullptr;
    QComboBox* m_recordDelimiter = nullptr;
    QComboBox* m_fieldDelimiter = nullptr;
    QComboBox* m_quote = nullptr;
    QCheckBox* m_headerRow = nullptr;
    QTableWidget* m_preview = nullptr;
    QLineEdit* m_xmlFile = nullptr;
    QComboBox* m_template = nullptr;
    QLineEdit* m_keymoorFile = nullptr;
    QPushButton* m_importButton = nullptr;
};
