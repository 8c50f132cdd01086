#include "Commands.h"

#include "AttachmentCommands.h"
#include "CommandLine.h"
#include "EmailCommands.h"
#include "ProductCommands.h"
#include "ReportCommands.h"

void registerCommands(CommandLine& commandLine)
{
    registerProductCommands(commandLine);
    registerEmailCommands(commandLine);
    registerAttachmentCommands(commandLine);
    registerReportCommands(commandLine);
}
