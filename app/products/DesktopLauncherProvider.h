#pragma once

#include <QtGlobal>

#include <memory>

class DesktopLauncher;

// The desktop that files and addresses are handed to: the one set (a test's recorder, the command
// line's), else the system's, made on first use.
class DesktopLauncherProvider
{
    Q_DISABLE_COPY_MOVE(DesktopLauncherProvider)

public:
    DesktopLauncherProvider();
    ~DesktopLauncherProvider();

    // Null puts the system's back. Not owned.
    void setLauncher(DesktopLauncher* launcher) { m_launcher = launcher; }
    DesktopLauncher& launcher();

private:
    std::unique_ptr<DesktopLauncher> m_systemLauncher;
    DesktopLauncher* m_launcher = nullptr;
};
