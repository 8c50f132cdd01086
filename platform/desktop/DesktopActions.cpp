#include "DesktopActions.h"

#include "DesktopLauncher.h"

#include <QFileInfo>

#include <algorithm>

namespace {

bool fail(QString* error, const QString& text)
{
    if (error) {
        *error = text;
    }
    return false;
}

bool isPlainAddressCharacter(QChar c)
{
    // These make a list of recipients or a name with an address; every other character is
    // percent-encoded and so cannot end the address.
    static const QString forbidden = QStringLiteral(",;<>\"()[]\\:");
    return c.unicode() > 0x20 && c.unicode() != 0x7F && !c.isSpace() && !forbidden.contains(c);
}

} // namespace

DesktopActions::DesktopActions(DesktopLauncher& launcher)
    : m_launcher(launcher)
{ }

bool DesktopActions::openFile(const QString& path, QString* error)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        return fail(error, QStringLiteral("There is no file at \"%1\".").arg(path));
    }
    if (!m_launcher.openUrl(QUrl::fromLocalFile(info.absoluteFilePath()))) {
        return fail(error, QStringLiteral("The desktop could not open \"%1\".").arg(path));
    }
    return true;
}

bool DesktopActions::openAddress(const QUrl& address, QString* error)
{
    if (!isWebAddress(address)) {
        return fail(error,
                    QStringLiteral("Only web addresses (http and https) are opened: \"%1\" is not one.")
                        .arg(address.toDisplayString()));
    }
    if (!m_launcher.openUrl(address)) {
        return fail(error, QStringLiteral("The desktop could not open \"%1\".").arg(address.toDisplayString()));
    }
    return true;
}

bool DesktopActions::revealFile(const QString& path, QString* error)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        return fail(error, QStringLiteral("There is no file at \"%1\".").arg(path));
    }
    if (m_launcher.showItems({QUrl::fromLocalFile(info.absoluteFilePath())})) {
        return true;
    }
    if (!m_launcher.openUrl(QUrl::fromLocalFile(info.absolutePath()))) {
        return fail(error, QStringLiteral("The desktop could not show \"%1\".").arg(path));
    }
    return true;
}

bool DesktopActions::composeMail(const QString& address, const QString& subject, QString* error)
{
    const std::optional<QUrl> url = mailtoUrl(address, subject, error);
    if (!url) {
        return false;
    }
    if (!m_launcher.openUrl(*url)) {
        return fail(error, QStringLiteral("No mail program took the message to \"%1\".").arg(address.trimmed()));
    }
    return true;
}

std::optional<QUrl> DesktopActions::mailtoUrl(const QString& address, const QString& subject, QString* error)
{
    const QString trimmed = address.trimmed();
    const qsizetype at = trimmed.indexOf(QLatin1Char('@'));
    const bool plain = at > 0 && at < trimmed.size() - 1 && trimmed.indexOf(QLatin1Char('@'), at + 1) < 0
        && std::all_of(trimmed.begin(), trimmed.end(), isPlainAddressCharacter);
    if (!plain) {
        fail(error, QStringLiteral("\"%1\" is not a single e-mail address.").arg(trimmed));
        return std::nullopt;
    }
    QByteArray encoded = "mailto:" + QUrl::toPercentEncoding(trimmed, "@!$*+=^_`{|}~");
    if (!subject.isEmpty()) {
        encoded += "?subject=" + QUrl::toPercentEncoding(subject);
    }
    const QUrl url = QUrl::fromEncoded(encoded, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("mailto")) {
        fail(error, QStringLiteral("\"%1\" is not a single e-mail address.").arg(trimmed));
        return std::nullopt;
    }
    return url;
}

bool DesktopActions::isWebAddress(const QUrl& address)
{
    const QString scheme = address.scheme().toLower();
    return address.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        && !address.host().isEmpty();
}
