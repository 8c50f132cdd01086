#include "Commands.h"

#include "CommandLine.h"

void registerCommands(CommandLine& commandLine)
{
    Q_UNUSED(commandLine);
}
