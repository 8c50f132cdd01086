#pragma once

class CommandLine;
class DesktopLauncher;

// Commands on the installed applications:
//   keymoor discover [--json] [--all]    the installed applications the catalogue does not have yet
//   keymoor discover --add ID... [--json]  adds them as new products
//   keymoor launch TITLE|UUID            starts a product's installed application
// `launcher` starts what is launched (tests record it); null means the desktop's own.
void registerSoftwareCommands(CommandLine& commandLine, DesktopLauncher* launcher = nullptr);
