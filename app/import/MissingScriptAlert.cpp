#include "MissingScriptAlert.h"

#include "base/Localization.h"
#include "base/Log.h"
#include "base/UserInterface.h"

void showMissingScriptAlert(UserInterface* ui, const QString& helperName)
{
    const QString message = localizedFormat(QStringLiteral("MissingScriptMessageFormat"), {helperName});
    Log::write(QStringLiteral("ERROR: %1").arg(message));
    if (!ui) {
        return;
    }
    Alert alert;
    alert.style = AlertStyle::Warning;
    alert.title = localizedString(QStringLiteral("MissingScriptTitle"));
    alert.message = message;
    alert.buttons = {localizedString(QStringLiteral("OKButton"))};
    ui->runAlert(alert);
}
