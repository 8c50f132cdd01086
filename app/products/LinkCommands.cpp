#include "LinkCommands.h"

#include "DesktopLauncherProvider.h"
#include "base/AppInfo.h"
#include "base/KMRegex.h"
#include "base/Log.h"
#include "desktop/DesktopActions.h"
#include "model/ProductEntity.h"

#include <QUrl>

namespace {

// Log lines keep the operation names people and tests have always searched the log for.
QString operationName(const char* function)
{
    return QStringLiteral("KeymoorAppDelegate::") + QString::fromLatin1(function);
}

} // namespace

LinkCommands::LinkCommands(DesktopLauncherProvider& desktop)
    : m_desktop(desktop)
{ }

bool LinkCommands::openStringAsURL(const QString& text, const QString& subject)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return false;
    }
    if (isEmailAddress(trimmed)) {
        return sendEmailTo(trimmed, subject);
    }
    QUrl url(trimmed);
    if (url.scheme().isEmpty() || !url.isValid()) {
        url = QUrl(QStringLiteral("http://%1").arg(trimmed));
    }
    QString error;
    if (!DesktopActions(m_desktop.launcher()).openAddress(url, &error)) {
        Log::write(QStringLiteral("%1: %2").arg(operationName("openStringAsURL"), error));
        return false;
    }
    return true;
}

bool LinkCommands::sendEmailTo(const QString& address, const QString& subject)
{
    if (address.trimmed().isEmpty()) {
        return false;
    }
    QString error;
    if (!DesktopActions(m_desktop.launcher()).composeMail(address, subject, &error)) {
        Log::write(QStringLiteral("%1: %2").arg(operationName("sendEmailTo"), error));
        return false;
    }
    return true;
}

bool LinkCommands::openWebsiteInBrowser(const ProductEntity* product)
{
    return product && openStringAsURL(product->productWebsite(), product->title());
}

bool LinkCommands::sendDeveloperEmail(const ProductEntity* product)
{
    return product && openStringAsURL(product->productEmail(), product->title());
}

bool LinkCommands::openSupport()
{
    const QUrl url(AppInfo::stringValue(QStringLiteral("ZRSupportURL")), QUrl::StrictMode);
    if (!url.isValid() || url.isEmpty()) {
        Log::write(QStringLiteral("Error in %1: Could not located support URL.").arg(operationName("openSupport")));
        return false;
    }
    QString error;
    if (!DesktopActions(m_desktop.launcher()).openAddress(url, &error)) {
        Log::write(QStringLiteral("%1: %2").arg(operationName("openSupport"), error));
        return false;
    }
    return true;
}

bool LinkCommands::openFrequentlyAskedQuestionsSite()
{
    return openStringAsURL(AppInfo::stringValue(QStringLiteral("KMFAQURL")));
}

bool LinkCommands::openReleaseNotesSite()
{
    return openStringAsURL(AppInfo::stringValue(QStringLiteral("KMReleaseNotesURL")));
}

bool LinkCommands::sendFeedback()
{
    return sendEmailTo(AppInfo::stringValue(QStringLiteral("ZRSupportEmail")),
                       QStringLiteral("Keymoor %1 Feedback").arg(AppInfo::prettyAppVersion()));
}

bool LinkCommands::checkForUpdates()
{
    return openReleaseNotesSite();
}
