#pragma once

class CommandLine;

// list, show, add, set, remove: the catalogue's products from the command line.
void registerProductCommands(CommandLine& commandLine);
