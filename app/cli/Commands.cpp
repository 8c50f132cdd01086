#include "Commands.h"

#include "CommandLine.h"
#include "EmailCommands.h"

void registerCommands(CommandLine& commandLine)
{
    registerEmailCommands(commandLine);
}
