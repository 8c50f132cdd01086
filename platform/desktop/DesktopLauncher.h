#pragma once

#include <QList>
#include <QUrl>

// Hands files and addresses to the desktop. This is the seam between Keymoor and the outside
// world: the policy of what may be opened lives in DesktopActions, and tests put a recording
// launcher here so that nothing is ever opened while they run.
class DesktopLauncher
{
public:
    virtual ~DesktopLauncher() = default;

    // Opens a URL with the program the desktop chooses for it. False when it could not be handed on.
    virtual bool openUrl(const QUrl& url) = 0;

    // Shows the files selected in the desktop's file manager. False when no file manager took them.
    virtual bool showItems(const QList<QUrl>& files) = 0;
};
