#include "Commands.h"

#include "CommandLine.h"
#include "ProductCommands.h"

void registerCommands(CommandLine& commandLine)
{
    registerProductCommands(commandLine);
}
