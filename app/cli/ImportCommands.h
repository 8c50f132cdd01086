#pragma once

class CommandLine;

// keymoor import: export folders, delimited text, other catalogue programs' files, applications.
void registerImportCommands(CommandLine& commandLine);
