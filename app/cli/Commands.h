#pragma once

class CommandLine;

// Registers every command of the command-line interface.
void registerCommands(CommandLine& commandLine);
