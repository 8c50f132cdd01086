#pragma once

class CommandLine;
class DesktopLauncher;

// Commands on products and their installed applications:
//   keymoor refresh [TITLE|UUID]      title, version, identifier and icon from the installed application
//   keymoor open-website TITLE|UUID   opens the product's website in the browser
// `launcher` receives what is opened (tests record it); null means the desktop's own.
void registerRecordCommands(CommandLine& commandLine, DesktopLauncher* launcher = nullptr);
