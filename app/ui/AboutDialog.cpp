#include "AboutDialog.h"

#include "base/AppInfo.h"
#include "base/Localization.h"

#include <QMessageBox>

namespace {

QString link(const QString& address)
{
    return QStringLiteral("<a href=\"%1\">%1</a>").arg(address.toHtmlEscaped());
}

QString appName()
{
    const QString name = AppInfo::stringValue(QStringLiteral("CFBundleName"));
    return name.isEmpty() ? AppInfo::executableName() : name;
}

} // namespace

QString AboutDialog::text()
{
    QStringList lines = {
        QStringLiteral("<h3>%1</h3>").arg(appName().toHtmlEscaped()),
        localizedFormat(QStringLiteral("AboutVersionFormat"), {AppInfo::prettyAppVersion()}).toHtmlEscaped(),
        localizedString(QStringLiteral("AboutLicenceText")).toHtmlEscaped(),
    };
    for (const char* key : {"ZRProductURL", "ZRSupportURL"}) {
        const QString address = AppInfo::stringValue(QString::fromLatin1(key));
        if (!address.isEmpty()) {
            lines.append(link(address));
        }
    }
    return lines.join(QStringLiteral("<br>"));
}

void AboutDialog::show(QWidget* parent)
{
    QMessageBox::about(parent, localizedFormat(QStringLiteral("AboutTitleFormat"), {appName()}), text());
}
