#pragma once

class CommandLine;

// "export" (csv, folder), "import" (library) and "backup".
void registerMaintenanceCommands(CommandLine& commandLine);
