#pragma once

class CommandLine;

// Registers the e-mail commands: `keymoor email FILE [--json]` shows a parsed message and
// `keymoor scan FILE [--json]` shows the registration information a scan finds in it.
void registerEmailCommands(CommandLine& commandLine);
