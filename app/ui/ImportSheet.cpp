#include "ImportSheet.h"

#include "ProgressSheet.h"
#include "QtUserInterface.h"
#include "base/Localization.h"
#include "base/UserInterface.h"
#include "core/KeymoorAppDelegate.h"
#include "desktop/ApplicationLocator.h"
#include "desktop/DesktopIcons.h"
#include "prefs/UserPreferences.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// Index of each pane in the stacked widget.
int indexOf(ImportSheet::Pane pane)
{
    return int(pane);
}

// Shows the empty quote choice as "None".
QString quoteTitle(const QString& name)
{
    return name.isEmpty() ? localizedString(QStringLiteral("ImportSheetNoQuote")) : name;
}

// One check box bound to a boolean of the controller.
QCheckBox* boundBox(const QString& text, bool value, QWidget* parent, std::function<void(bool)> setter)
{
    auto* box = new QCheckBox(text, parent);
    box->setChecked(value);
    QObject::connect(box, &QCheckBox::toggled, parent, std::move(setter));
    return box;
}

QIcon themeIcon(const char* name, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(QString::fromLatin1(name), QApplication::style()->standardIcon(fallback));
}

} // namespace

ImportSheet::ImportSheet(KeymoorAppDelegate* delegate, ZRImportSheetController* controller,
                         std::function<void(const QString&, bool)> importExportFolder, QWidget* window)
    : QDialog(window)
    , m_delegate(delegate)
    , m_controller(controller)
    , m_importExportFolder(std::move(importExportFolder))
    , m_toolbar(new QToolBar(this))
    , m_panes(new QStackedWidget(this))
{
    setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolbar->setMovable(false);
    m_panes->addWidget(buildTextPane());
    m_panes->addWidget(buildXMLPane());
    m_panes->addWidget(buildKeymoorPane());
    m_panes->addWidget(buildYojimboPane());

    addPaneAction(Pane::Text, themeIcon("text-x-generic", QStyle::SP_FileIcon), QStringLiteral("ImportTextTab"));
    addPaneAction(Pane::XML, themeIcon("text-xml", QStyle::SP_FileIcon), QStringLiteral("ImportXMLTab"));
    addPaneAction(Pane::Keymoor, QIcon(QStringLiteral(":/Keymoor.png")), QStringLiteral("ImportKeymoorTab"));
    // The Yojimbo kind is offered only when that program is installed.
    if (m_delegate) {
        const QString yojimbo = m_delegate->applicationLocator().pathForApplication(QStringLiteral("Yojimbo"));
        if (!yojimbo.isEmpty()) {
            addPaneAction(Pane::Yojimbo, QIcon(QPixmap::fromImage(DesktopIcons::iconForFile(yojimbo, 64))),
                          QStringLiteral("ImportYojimboTab"));
        }
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_importButton = buttons->button(QDialogButtonBox::Ok);
    m_importButton->setObjectName(QStringLiteral("importButton"));
    m_importButton->setText(localizedString(QStringLiteral("ImportButton")));
    buttons->button(QDialogButtonBox::Cancel)->setText(localizedString(QStringLiteral("CancelButton")));
    connect(buttons, &QDialogButtonBox::accepted, this, &ImportSheet::importAction);
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { done(0); });
    connect(m_controller, &ZRImportSheetController::parsedFieldsChanged, this, &ImportSheet::reloadPreview);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(m_toolbar);
    layout->addWidget(m_panes, 1);
    layout->addWidget(buttons);
    // At least 500 by 300, and never less than the panes need: with a larger font or scale the
    // choices would otherwise be squeezed into each other.
    setMinimumSize(layout->minimumSize().expandedTo(QSize(500, 300)));
    reloadPreview();
    setActivePane(Pane::Text);
}

ImportSheet::~ImportSheet() = default;

void ImportSheet::addPaneAction(Pane pane, const QIcon& icon, const QString& labelKey)
{
    QAction* action = m_toolbar->addAction(icon, localizedString(labelKey));
    action->setCheckable(true);
    action->setObjectName(labelKey);
    connect(action, &QAction::triggered, this, [this, pane] { setActivePane(pane); });
    m_paneActions.append({pane, action});
}

bool ImportSheet::hasPane(Pane pane) const
{
    return std::any_of(m_paneActions.begin(), m_paneActions.end(), [pane](const auto& p) { return p.first == pane; });
}

void ImportSheet::setActivePane(Pane pane)
{
    if (!hasPane(pane)) {
        return;
    }
    m_pane = pane;
    m_panes->setCurrentIndex(indexOf(pane));
    for (const auto& [actionPane, action] : std::as_const(m_paneActions)) {
        action->setChecked(actionPane == pane);
        if (actionPane == pane) {
            setWindowTitle(action->text());
        }
    }
    updateImportButton();
}

QWidget* ImportSheet::fileRow(QLineEdit* field, void (ImportSheet::*choose)())
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    field->setReadOnly(true);
    auto* button = new QPushButton(localizedString(QStringLiteral("ImportSheetChooseButton")), row);
    connect(button, &QPushButton::clicked, this, choose);
    layout->addWidget(field, 1);
    layout->addWidget(button);
    return row;
}

QWidget* ImportSheet::buildTextPane()
{
    auto* pane = new QWidget(this);
    m_textFile = new QLineEdit(m_controller->importTextFile(), pane);
    m_recordDelimiter = new QComboBox(pane);
    m_fieldDelimiter = new QComboBox(pane);
    m_recordDelimiter->setObjectName(QStringLiteral("recordDelimiterBox"));
    m_fieldDelimiter->setObjectName(QStringLiteral("fieldDelimiterBox"));
    m_recordDelimiter->addItems(ZRImportSheetController::delimiters());
    m_fieldDelimiter->addItems(ZRImportSheetController::delimiters());
    m_recordDelimiter->setCurrentText(m_controller->textRecordDelimiter());
    m_fieldDelimiter->setCurrentText(m_controller->textFieldDelimiter());
    m_quote = new QComboBox(pane);
    m_quote->setObjectName(QStringLiteral("quoteBox"));
    for (const QString& quote : ZRImportSheetController::availableQuotes()) {
        m_quote->addItem(quoteTitle(quote), quote);
    }
    m_quote->setCurrentIndex(m_quote->findData(m_controller->fieldQuote()));
    connect(m_recordDelimiter, &QComboBox::currentTextChanged, m_controller,
            &ZRImportSheetController::setTextRecordDelimiter);
    connect(m_fieldDelimiter, &QComboBox::currentTextChanged, m_controller,
            &ZRImportSheetController::setTextFieldDelimiter);
    connect(m_quote, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_controller->setFieldQuote(m_quote->itemData(index).toString()); });
    m_headerRow = boundBox(localizedString(QStringLiteral("ImportSheetHeaderRowCheckBox")),
                           m_controller->importTextHasHeaderRow(), pane,
                           [this](bool on) { m_controller->setImportTextHasHeaderRow(on); });
    m_headerRow->setObjectName(QStringLiteral("headerRowBox"));
    auto* overwrite
        = boundBox(localizedString(QStringLiteral("ImportSheetUpdateSameTitleCheckBox")), m_controller->overwriteData(),
                   pane, [this](bool on) { m_controller->setOverwriteData(on); });

    m_preview = new QTableWidget(0, 2, pane);
    m_preview->setObjectName(QStringLiteral("previewTable"));
    m_preview->setHorizontalHeaderLabels({localizedString(QStringLiteral("ImportSheetValueColumn")),
                                          localizedString(QStringLiteral("ImportSheetFieldColumn"))});
    m_preview->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_preview->verticalHeader()->setVisible(true);
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* form = new QFormLayout;
    form->addRow(localizedString(QStringLiteral("ImportSheetFileLabel")),
                 fileRow(m_textFile, &ImportSheet::chooseTextFile));
    form->addRow(localizedString(QStringLiteral("ImportSheetFieldsSeparatedByLabel")), m_fieldDelimiter);
    form->addRow(localizedString(QStringLiteral("ImportSheetRecordsSeparatedByLabel")), m_recordDelimiter);
    form->addRow(localizedString(QStringLiteral("ImportSheetQuoteLabel")), m_quote);
    auto* layout = new QVBoxLayout(pane);
    layout->addLayout(form);
    layout->addWidget(m_headerRow);
    layout->addWidget(overwrite);
    layout->addWidget(m_preview, 1);
    return pane;
}

QWidget* ImportSheet::buildXMLPane()
{
    auto* pane = new QWidget(this);
    m_xmlFile = new QLineEdit(m_controller->importXMLFile(), pane);
    m_template = new QComboBox(pane);
    m_template->setObjectName(QStringLiteral("templateBox"));
    m_template->addItems(ZRImportSheetController::xmlTemplates());
    // A real choice is always shown: an empty box reads as a disabled one.
    if (!ZRImportSheetController::xmlTemplates().contains(m_controller->selectedXMLTemplate())) {
        m_controller->setSelectedXMLTemplate(ZRImportSheetController::xmlTemplates().constFirst());
    }
    m_template->setCurrentText(m_controller->selectedXMLTemplate());
    connect(m_template, &QComboBox::currentTextChanged, this, [this](const QString& name) {
        m_controller->setSelectedXMLTemplate(name);
        updateImportButton();
    });
    auto* form = new QFormLayout(pane);
    form->addRow(localizedString(QStringLiteral("ImportSheetFileLabel")),
                 fileRow(m_xmlFile, &ImportSheet::chooseXMLFile));
    form->addRow(localizedString(QStringLiteral("ImportSheetWrittenByLabel")), m_template);
    return pane;
}

QWidget* ImportSheet::buildKeymoorPane()
{
    auto* pane = new QWidget(this);
    m_keymoorFile = new QLineEdit(m_controller->importKeymoorXMLFile(), pane);
    auto* replace = boundBox(localizedString(QStringLiteral("ImportSheetReplaceCatalogueCheckBox")),
                             m_controller->deleteExistingData(), pane,
                             [this](bool on) { m_controller->setDeleteExistingData(on); });
    auto* form = new QFormLayout(pane);
    form->addRow(localizedString(QStringLiteral("ImportSheetExportFolderLabel")),
                 fileRow(m_keymoorFile, &ImportSheet::chooseKeymoorXMLFile));
    form->addRow(QString(), replace);
    form->addRow(QString(), new QLabel(localizedString(QStringLiteral("ImportSheetBackupNote")), pane));
    return pane;
}

QWidget* ImportSheet::buildYojimboPane()
{
    auto* pane = new QWidget(this);
    auto* overwrite
        = boundBox(localizedString(QStringLiteral("ImportSheetUpdateSameTitleCheckBox")), m_controller->overwriteData(),
                   pane, [this](bool on) { m_controller->setOverwriteData(on); });
    auto* layout = new QVBoxLayout(pane);
    layout->addWidget(new QLabel(localizedString(QStringLiteral("ImportSheetYojimboNote")), pane));
    layout->addWidget(overwrite);
    layout->addStretch(1);
    return pane;
}

std::optional<QString> ImportSheet::choosePath(bool folders)
{
    UserInterface* ui = m_delegate ? m_delegate->userInterface() : nullptr;
    if (!ui) {
        return std::nullopt;
    }
    OpenPanelOptions options;
    options.prompt = localizedString(QStringLiteral("ImportButton"));
    options.startFolder
        = UserPreferences::expandTildeInPath(m_delegate->userPrefs().exportAttachmentPath(), QDir::homePath());
    options.chooseFolders = folders;
    const auto paths = ui->runOpenPanel(options);
    if (!paths || paths->isEmpty()) {
        return std::nullopt;
    }
    return paths->first();
}

void ImportSheet::chooseTextFile()
{
    if (const auto path = choosePath(false)) {
        m_textFile->setText(*path);
        m_controller->setImportTextFile(*path);
        updateImportButton();
    }
}

void ImportSheet::chooseXMLFile()
{
    if (const auto path = choosePath(false)) {
        m_xmlFile->setText(*path);
        m_controller->setImportXMLFile(*path);
        // A MacHeist 3 data file names its writer by its extension.
        if (path->endsWith(QStringLiteral(".appshelf"), Qt::CaseInsensitive)) {
            m_template->setCurrentText(QStringLiteral("AppShelf"));
        }
        updateImportButton();
    }
}

void ImportSheet::chooseKeymoorXMLFile()
{
    if (const auto path = choosePath(true)) {
        m_keymoorFile->setText(*path);
        m_controller->setImportKeymoorXMLFile(*path);
        updateImportButton();
    }
}

void ImportSheet::reloadPreview()
{
    // The table would only schedule its old choosers for deletion, leaving them on screen until then.
    for (int row = 0; row < m_preview->rowCount(); ++row) {
        QWidget* chooser = m_preview->cellWidget(row, 1);
        m_preview->removeCellWidget(row, 1);
        delete chooser;
    }
    const QList<ZRImportSheetController::FieldRecord> fields = m_controller->parsedFields();
    m_preview->setRowCount(int(fields.size()));
    // With a header row, each row of the preview is labelled with its column's name.
    const QStringList headers = m_controller->headerNames();
    QStringList rowLabels;
    for (int row = 0; row < fields.size(); ++row) {
        const QString name = headers.value(row).simplified();
        rowLabels.append(name.isEmpty() ? QString::number(row + 1) : name);
    }
    m_preview->setVerticalHeaderLabels(rowLabels);
    const auto keyPaths = ZRImportSheetController::productKeyPaths();
    for (int row = 0; row < fields.size(); ++row) {
        const auto& field = fields.at(row);
        auto* value = new QTableWidgetItem(field.source.value_or(QString()));
        value->setToolTip(value->text());
        m_preview->setItem(row, 0, value);
        auto* destination = new QComboBox(m_preview);
        for (const auto& entry : keyPaths) {
            destination->addItem(entry.label);
        }
        destination->setCurrentText(field.destination);
        connect(destination, &QComboBox::currentTextChanged, this, [this, row](const QString& label) {
            m_controller->setDestination(row, label);
            updateImportButton();
        });
        m_preview->setCellWidget(row, 1, destination);
    }
    if (!m_controller->previewProblem().isEmpty()) {
        m_preview->setToolTip(m_controller->previewProblem());
    }
    updateImportButton();
}

void ImportSheet::updateImportButton()
{
    if (m_importButton) {
        m_importButton->setEnabled(m_controller->canImport(m_pane));
    }
}

void ImportSheet::importAction()
{
    done(1);
    if (m_delegate && m_controller->import(m_pane, m_delegate->imports(), m_importExportFolder)
        && m_pane == Pane::Text) {
        offerCancelOfTextImports();
    }
}

// The text import runs as a job under the window's progress sheet, which then offers to cancel it.
void ImportSheet::offerCancelOfTextImports()
{
    auto* ui = dynamic_cast<QtUserInterface*>(m_delegate->userInterface());
    ProgressSheet* progress = ui ? ui->progressSheet() : nullptr;
    if (!progress) {
        return;
    }
    QPointer<KeymoorAppDelegate> delegate = m_delegate;
    progress->offerCancel(
        [delegate] {
            if (delegate) {
                delegate->imports().text().cancelTextImports();
            }
        },
        localizedString(QStringLiteral("ImportCancellingProgressMessage")));
}
