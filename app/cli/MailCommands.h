#pragma once

class CommandLine;

// Registers the commands on mail stores: `keymoor mail scan PATH...` lists the licences found in
// purchase mails, `keymoor mail import PATH...` adds those not in the catalogue as products with
// their message attached.
void registerMailCommands(CommandLine& commandLine);
