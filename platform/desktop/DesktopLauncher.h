#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

struct DesktopApplication;

// Hands files and addresses to the desktop and starts installed applications. This is the seam
// between Keymoor and the outside world: the policy of what may be opened lives in DesktopActions,
// and tests put a recording launcher here so that nothing is ever opened while they run.
class DesktopLauncher
{
public:
    virtual ~DesktopLauncher() = default;

    // Opens a URL with the program the desktop chooses for it. False when it could not be handed on.
    virtual bool openUrl(const QUrl& url) = 0;

    // Shows the files selected in the desktop's file manager. False when no file manager took them.
    virtual bool showItems(const QList<QUrl>& files) = 0;

    // Starts the application of a desktop entry as its "Exec" says. False with an error text for
    // the person when it could not be started. A launcher that cannot start programs refuses.
    virtual bool launchApplication(const DesktopApplication& application, QString* error)
    {
        Q_UNUSED(application)
        if (error) {
            *error = QStringLiteral("Applications cannot be started from here.");
        }
        return false;
    }

    // Starts a program file (an AppImage) with the arguments, detached and without a shell. False
    // with an error text for the person when it could not be started.
    virtual bool runProgram(const QString& program, const QStringList& arguments, QString* error)
    {
        Q_UNUSED(program)
        Q_UNUSED(arguments)
        if (error) {
            *error = QStringLiteral("Programs cannot be started from here.");
        }
        return false;
    }
};
