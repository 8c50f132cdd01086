#pragma once

#include <QList>
#include <QString>

class ApplicationLocator;
class AttachmentEntity;
class ProductEntity;

// The commands of the main window's toolbar, menus, context menus and attachment buttons whose
// enabled state depends on the selection. Toolbar and menu share one action per command.
enum class MainWindowCommand {
    NewProduct,
    ImportApp,
    ImportWidget,
    ImportPlugin,
    ImportPrefPane,
    RemoveProduct,
    ImportMail,
    ImportOutlook,
    AttachFile,
    CopySerial,
    CopyRegisteredName,
    CopyRegisteredEmail,
    RemoveAttachment,
    ExportAttachments,
    OpenAttachment,
    ScanEmail,
    RefreshApp,
    RefreshAllApps,
    SyncToMobile,
    LocateApp,
    LaunchApp,
    RevealApp,
    OpenWebsite,
    WriteToSupport,
    AddIcon,
    RemoveIcon,
    Print,
};

// What the enabling rules look at: the window's product and attachment selection. Values are those
// of the first selected product; with none or several products selected they are not looked at.
// The address and own-record flags cover the whole selection.
struct MainWindowSelection
{
    bool hasLibrary = true; // a catalogue is open; without one every command is off
    int productCount = 0;
    QString serialNumber;
    QString registeredName;
    QString registeredEmail;
    QString productWebsite;
    QString productEmail;
    bool launchable = false; // its application is installed (never for Keymoor's own record)
    bool ownRecord = false; // Keymoor's own record
    bool anyWebsite = false; // some selected product has a website
    bool anySupportEmail = false; // some selected product has a support address
    bool containsOwnRecord = false; // Keymoor's own record is among the selected
    bool attachmentsTabCurrent = false;
    int attachmentCount = 0;
    bool attachmentIsEmail = false; // exactly one attachment is selected and it is an e-mail
};

// Answers, for a selection, which commands are enabled. Holds no widgets, so the rules are tested
// on their own.
class MainWindowCommandState
{
public:
    explicit MainWindowCommandState(MainWindowSelection selection);

    // The selection of these products and attachments. Launchability is looked up with `locator`
    // (not at all without one).
    static MainWindowSelection describe(const QList<ProductEntity*>& products,
                                        const QList<AttachmentEntity*>& attachments, bool attachmentsTabCurrent,
                                        ApplicationLocator* locator);

    bool isEnabled(MainWindowCommand command) const;

    // A product counts as selected with one or more rows selected.
    bool hasProduct() const { return m_selection.productCount > 0; }
    // Whether exactly one product is selected and `value` of it is not blank: copying a value
    // needs one product to take it from.
    bool selectionHasValue(const QString& value) const;

private:
    bool attachmentsShown(int minimum) const;

    MainWindowSelection m_selection;
};
