#pragma once

class CommandLine;

// "check": looks the library over (store integrity, stored files, references between records) and
// with --repair mends what can be mended.
void registerCheckCommand(CommandLine& commandLine);
