#include "MainWindowCommandState.h"

#include "core/KeymoorAppDelegate.h"
#include "desktop/ApplicationLocator.h"
#include "model/AttachedEmail.h"
#include "model/ProductEntity.h"

#include <utility>

MainWindowCommandState::MainWindowCommandState(MainWindowSelection selection)
    : m_selection(std::move(selection))
{ }

MainWindowSelection MainWindowCommandState::describe(const QList<ProductEntity*>& products,
                                                     const QList<AttachmentEntity*>& attachments,
                                                     bool attachmentsTabCurrent, ApplicationLocator* locator)
{
    // A product undone or deleted under the list is no longer selectable.
    QList<const ProductEntity*> live;
    for (const ProductEntity* product : products) {
        if (product && product->isValid() && !product->isDeleted()) {
            live.append(product);
        }
    }
    MainWindowSelection selection;
    selection.productCount = int(live.size());
    if (const ProductEntity* product = live.isEmpty() ? nullptr : live.first()) {
        selection.serialNumber = product->serialNumber();
        selection.registeredName = product->registeredName();
        selection.registeredEmail = product->registeredEmail();
        selection.productWebsite = product->productWebsite();
        selection.productEmail = product->productEmail();
        selection.ownRecord = KeymoorAppDelegate::isOwnProduct(product);
        selection.launchable = locator && product->isLaunchable(*locator);
    }
    for (const ProductEntity* product : std::as_const(live)) {
        selection.anyWebsite = selection.anyWebsite || !product->productWebsite().trimmed().isEmpty();
        selection.anySupportEmail = selection.anySupportEmail || !product->productEmail().trimmed().isEmpty();
        selection.containsOwnRecord = selection.containsOwnRecord || KeymoorAppDelegate::isOwnProduct(product);
    }
    selection.attachmentsTabCurrent = attachmentsTabCurrent;
    selection.attachmentCount = int(attachments.size());
    selection.attachmentIsEmail
        = attachments.size() == 1 && dynamic_cast<const AttachedEmail*>(attachments.first()) != nullptr;
    return selection;
}

bool MainWindowCommandState::selectionHasValue(const QString& value) const
{
    return m_selection.productCount == 1 && !value.trimmed().isEmpty();
}

bool MainWindowCommandState::attachmentsShown(int minimum) const
{
    return m_selection.attachmentsTabCurrent && m_selection.attachmentCount >= minimum;
}

bool MainWindowCommandState::isEnabled(MainWindowCommand command) const
{
    if (!m_selection.hasLibrary) {
        return false;
    }
    const MainWindowSelection& s = m_selection;
    switch (command) {
    case MainWindowCommand::RemoveProduct:
        // Keymoor's own record describes this program and cannot be deleted.
        return hasProduct() && !s.ownRecord && !s.containsOwnRecord;
    case MainWindowCommand::AttachFile:
    case MainWindowCommand::ImportMail:
    case MainWindowCommand::ImportOutlook:
    case MainWindowCommand::RefreshApp:
    case MainWindowCommand::AddIcon:
    case MainWindowCommand::RemoveIcon:
    case MainWindowCommand::Print:
        return hasProduct();
    case MainWindowCommand::CopySerial:
        return selectionHasValue(s.serialNumber);
    case MainWindowCommand::CopyRegisteredName:
        return selectionHasValue(s.registeredName);
    case MainWindowCommand::CopyRegisteredEmail:
        return selectionHasValue(s.registeredEmail);
    case MainWindowCommand::OpenWebsite:
        return hasProduct() && (s.anyWebsite || selectionHasValue(s.productWebsite));
    case MainWindowCommand::WriteToSupport:
        return hasProduct() && (s.anySupportEmail || selectionHasValue(s.productEmail));
    case MainWindowCommand::RemoveAttachment:
    case MainWindowCommand::ExportAttachments:
        return attachmentsShown(1);
    case MainWindowCommand::OpenAttachment:
        return attachmentsShown(1) && s.attachmentCount == 1;
    case MainWindowCommand::ScanEmail:
        return attachmentsShown(1) && s.attachmentCount == 1 && s.attachmentIsEmail;
    case MainWindowCommand::LaunchApp:
    case MainWindowCommand::RevealApp:
        return hasProduct() && s.launchable;
    case MainWindowCommand::LocateApp:
        // Locating needs a product to write into; Keymoor's own record describes this program.
        return hasProduct() && !s.launchable && !s.ownRecord;
    case MainWindowCommand::NewProduct:
    case MainWindowCommand::ImportApp:
    case MainWindowCommand::ImportWidget:
    case MainWindowCommand::ImportPlugin:
    case MainWindowCommand::ImportPrefPane:
    case MainWindowCommand::RefreshAllApps:
    case MainWindowCommand::SyncToMobile:
        return true;
    }
    return true;
}
