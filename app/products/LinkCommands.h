#pragma once

#include <QString>
#include <QtGlobal>

class DesktopLauncherProvider;
class ProductEntity;

// The commands that hand a web or mail address to the desktop: a product's website and developer
// address, and Keymoor's own pages and support address from its property list. Failures are
// logged; each answers whether the address was handed on.
class LinkCommands
{
    Q_DISABLE_COPY_MOVE(LinkCommands)

public:
    explicit LinkCommands(DesktopLauncherProvider& desktop);

    // An e-mail address gets a new message with the subject; anything else is opened as a web
    // address ("http://" is put in front when it has no scheme), but only "http" and "https" ones.
    bool openStringAsURL(const QString& text, const QString& subject = QString());
    // A new message in the person's mail program.
    bool sendEmailTo(const QString& address, const QString& subject);
    bool openWebsiteInBrowser(const ProductEntity* product);
    bool sendDeveloperEmail(const ProductEntity* product);

    // Keymoor's own pages and support address.
    bool openSupport();
    bool openFrequentlyAskedQuestionsSite();
    bool openReleaseNotesSite();
    bool sendFeedback();
    // There is no update framework here: the release notes say what is new.
    bool checkForUpdates();

private:
    DesktopLauncherProvider& m_desktop;
};
