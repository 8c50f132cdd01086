#include "QtUserInterface.h"

#include "ProgressSheet.h"
#include "base/Localization.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>

#include <algorithm>

namespace {

QMessageBox::Icon iconForStyle(AlertStyle style)
{
    switch (style) {
    case AlertStyle::Informational:
        return QMessageBox::Information;
    case AlertStyle::Warning:
        return QMessageBox::Warning;
    case AlertStyle::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

void prepareBox(QMessageBox& box, AlertStyle style, const QString& title, const QString& message)
{
    box.setIcon(iconForStyle(style));
    box.setWindowTitle(localizedString(QStringLiteral("KeymoorWindowTitle")));
    box.setText(title.isEmpty() ? message : title);
    if (!title.isEmpty()) {
        box.setInformativeText(message);
    }
    box.setWindowModality(box.parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
}

// Accepts files and folders alike, which Qt's own modes cannot: a folder there either opens or is
// the only thing accepted.
class FileOrFolderDialog : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QStringList chosen = selectedFiles();
        const bool allExist = !chosen.isEmpty()
            && std::all_of(chosen.cbegin(), chosen.cend(), [](const QString& path) { return QFileInfo::exists(path); });
        if (allExist) {
            QDialog::accept();
            return;
        }
        QFileDialog::accept();
    }
};

QString nameFilter(const QStringList& extensions)
{
    QStringList patterns;
    for (const QString& extension : extensions) {
        patterns.append(QStringLiteral("*.") + extension);
    }
    return patterns.join(QLatin1Char(' '));
}

} // namespace

QtUserInterface::QtUserInterface(QWidget* window)
    : m_window(window)
    , m_progressSheet(new ProgressSheet(window))
{ }

QtUserInterface::~QtUserInterface()
{
    // Without a window the sheet has no parent to delete it.
    if (!m_window && m_progressSheet) {
        delete m_progressSheet.data();
    }
}

void QtUserInterface::setWindow(QWidget* window)
{
    if (window == m_window) {
        return;
    }
    m_window = window;
    if (m_progressSheet) {
        m_progressSheet->setParent(window, m_progressSheet->windowFlags());
        m_progressSheet->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    }
}

ProgressSheet* QtUserInterface::progressSheet() const
{
    return m_progressSheet;
}

int QtUserInterface::runAlert(const Alert& alert)
{
    QMessageBox box(m_window);
    prepareBox(box, alert.style, alert.title, alert.message);
    const QStringList texts
        = alert.buttons.isEmpty() ? QStringList {localizedString(QStringLiteral("OKButton"))} : alert.buttons;
    QList<QAbstractButton*> buttons;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const QMessageBox::ButtonRole role = i == 0 ? QMessageBox::AcceptRole
            : i == alert.escapeButton               ? QMessageBox::RejectRole
                                                    : QMessageBox::NoRole;
        buttons.append(box.addButton(texts.at(i), role));
    }
    box.setDefaultButton(qobject_cast<QPushButton*>(buttons.first()));
    if (alert.escapeButton >= 0 && alert.escapeButton < buttons.size()) {
        box.setEscapeButton(buttons.at(alert.escapeButton));
    }
    box.exec();
    const qsizetype chosen = buttons.indexOf(box.clickedButton());
    if (chosen >= 0) {
        return static_cast<int>(chosen);
    }
    // Closed without a button: the Escape answer, or the last (least committal) button.
    return alert.escapeButton >= 0 ? alert.escapeButton : static_cast<int>(buttons.size() - 1);
}

Answer QtUserInterface::ask(const Question& question)
{
    Alert alert;
    alert.style = question.style;
    alert.title = question.title;
    alert.message = question.message;
    alert.buttons = {question.yesButton.isEmpty() ? localizedString(QStringLiteral("OKButton")) : question.yesButton,
                     question.noButton.isEmpty() ? localizedString(QStringLiteral("NoButton")) : question.noButton};
    if (!question.cancelButton.isEmpty()) {
        alert.buttons.append(question.cancelButton);
    }
    alert.escapeButton = static_cast<int>(alert.buttons.size() - 1);
    switch (runAlert(alert)) {
    case 0:
        return Answer::Yes;
    case 1:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

std::optional<QStringList> QtUserInterface::runOpenPanel(const OpenPanelOptions& options)
{
    FileOrFolderDialog dialog(m_window, options.title, options.startFolder);
    dialog.setWindowModality(m_window ? Qt::WindowModal : Qt::ApplicationModal);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (options.chooseFolders && !options.chooseFiles) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
    } else {
        dialog.setFileMode(options.allowsMultipleSelection ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
        if (options.chooseFolders) {
            // Only Qt's own dialog lets us accept a folder in a file mode.
            dialog.setOption(QFileDialog::DontUseNativeDialog);
        }
    }
    dialog.setOption(QFileDialog::ReadOnly, !options.canCreateFolders);
    if (!options.allowedExtensions.isEmpty() && options.chooseFiles) {
        dialog.setNameFilter(nameFilter(options.allowedExtensions));
    }
    if (!options.prompt.isEmpty()) {
        dialog.setLabelText(QFileDialog::Accept, options.prompt);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles();
}

std::optional<QString> QtUserInterface::runSavePanel(const SavePanelOptions& options)
{
    QFileDialog dialog(m_window, options.title, options.startFolder);
    dialog.setWindowModality(m_window ? Qt::WindowModal : Qt::ApplicationModal);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::ReadOnly, !options.canCreateFolders);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.confirmOverwrite);
    if (!options.proposedName.isEmpty()) {
        dialog.selectFile(options.proposedName);
    }
    if (!options.prompt.isEmpty()) {
        dialog.setLabelText(QFileDialog::Accept, options.prompt);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().first();
}

bool QtUserInterface::presentError(const PresentableError& error)
{
    QMessageBox box(m_window);
    prepareBox(box, AlertStyle::Critical, error.description, error.recoverySuggestion);
    if (!error.details.isEmpty()) {
        box.setDetailedText(error.details);
    }
    box.addButton(localizedString(QStringLiteral("OKButton")), QMessageBox::AcceptRole);
    box.exec();
    // No recovery options are offered, so the person cannot have dealt with the error here.
    return false;
}

void QtUserInterface::startProgress(const QString& message)
{
    if (m_progressSheet) {
        m_progressSheet->start(message);
    }
}

void QtUserInterface::stopProgress()
{
    if (m_progressSheet) {
        m_progressSheet->stop();
    }
}

bool QtUserInterface::isProgressShown() const
{
    return m_progressSheet && m_progressSheet->isShown();
}

void QtUserInterface::setClipboardText(const QString& text, bool sensitive)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
        return;
    }
    auto* data = new QMimeData;
    data->setText(text);
    if (sensitive) {
        // Clipboard managers (Klipper and others) skip entries carrying this hint.
        data->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
    }
    clipboard->setMimeData(data);
}
