#pragma once

class CommandLine;

// "totals": what the catalogue cost, per year, publisher, currency or licence type.
void registerTotalsCommand(CommandLine& commandLine);
