#include "MissingScriptAlert.h"

#include "base/Localization.h"
#include "base/Log.h"
#include "base/Notice.h"
#include "base/UserInterface.h"

void showMissingScriptAlert(UserInterface* ui, const QString& helperName)
{
    const QString message = localizedFormat(QStringLiteral("MissingScriptMessageFormat"), {helperName});
    Log::write(QStringLiteral("ERROR: %1").arg(message));
    showNotice(ui, AlertStyle::Warning, localizedString(QStringLiteral("MissingScriptTitle")), message);
}
