#pragma once

class CommandLine;

// add and set: new products and changed fields from the command line.
void registerProductEditCommands(CommandLine& commandLine);
