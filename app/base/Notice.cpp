#include "Notice.h"

#include "Localization.h"
#include "UserInterface.h"

void showNotice(UserInterface* ui, AlertStyle style, const QString& title, const QString& message)
{
    if (!ui) {
        return;
    }
    Alert alert;
    alert.style = style;
    alert.title = title;
    alert.message = message;
    alert.buttons = {localizedString(QStringLiteral("OKButton"))};
    ui->runAlert(alert);
}
