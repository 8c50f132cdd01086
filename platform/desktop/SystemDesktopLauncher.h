#pragma once

#include "DesktopLauncher.h"

// The real desktop: QDesktopServices in the graphical application, "xdg-open" (as an argument
// vector, never through a shell) in the command-line one; the file manager through the D-Bus
// interface org.freedesktop.FileManager1; applications of desktop entries through
// DesktopApplicationLaunch, program files directly (never through a shell).
class SystemDesktopLauncher final : public DesktopLauncher
{
public:
    // How long a file manager may take to answer before it counts as absent.
    static constexpr int FileManagerTimeoutMs = 5000;

    bool openUrl(const QUrl& url) override;
    bool showItems(const QList<QUrl>& files) override;
    bool launchApplication(const DesktopApplication& application, QString* error) override;
    bool runProgram(const QString& program, const QStringList& arguments, QString* error) override;
};
