#pragma once

#include <QString>
#include <QUrl>

#include <optional>

class DesktopLauncher;

// What Keymoor may ask of the desktop, and the checks that come first: files are opened and
// revealed only when they exist, addresses only with the schemes "http" and "https", and mail is
// composed only for a single plain address. Everything else is refused with an error text and
// nothing is handed on. The launcher does the handing on.
class DesktopActions
{
public:
    explicit DesktopActions(DesktopLauncher& launcher);

    // Opens an existing file or folder with the desktop's program for it.
    bool openFile(const QString& path, QString* error = nullptr);

    // Opens a web address; any scheme but "http" and "https" is refused ("file:", "javascript:",
    // "mailto:" ...), as is an address without a host.
    bool openAddress(const QUrl& address, QString* error = nullptr);

    // Shows an existing file selected in the file manager; when no file manager answers, opens the
    // folder that holds it.
    bool revealFile(const QString& path, QString* error = nullptr);

    // Opens a new message to the address in the user's mail program, with the subject if it is
    // not empty.
    bool composeMail(const QString& address, const QString& subject, QString* error = nullptr);

    // "mailto:<address>?subject=<subject>", both percent-encoded as UTF-8, so that neither can add
    // header fields ("?bcc=", "&body=") to the message. Refuses what is not one plain
    // "local@domain": white space, control characters, a second "@", or the characters that make
    // lists and names of recipients (, ; < > " ( ) [ ] \ :).
    static std::optional<QUrl> mailtoUrl(const QString& address, const QString& subject, QString* error = nullptr);

    static bool isWebAddress(const QUrl& address);

private:
    DesktopLauncher& m_launcher;
};
