#include "DesktopLauncherProvider.h"

#include "desktop/SystemDesktopLauncher.h"

DesktopLauncherProvider::DesktopLauncherProvider() = default;

DesktopLauncherProvider::~DesktopLauncherProvider() = default;

DesktopLauncher& DesktopLauncherProvider::launcher()
{
    if (m_launcher) {
        return *m_launcher;
    }
    if (!m_systemLauncher) {
        m_systemLauncher = std::make_unique<SystemDesktopLauncher>();
    }
    return *m_systemLauncher;
}
