#include "Commands.h"

#include "AttachmentCommands.h"
#include "CheckCommand.h"
#include "CommandLine.h"
#include "EmailCommands.h"
#include "ImportCommands.h"
#include "LicenceCommands.h"
#include "MailCommands.h"
#include "MaintenanceCommands.h"
#include "ProductCommands.h"
#include "RecordCommands.h"
#include "ReportCommands.h"
#include "SoftwareCommands.h"
#include "TotalsCommand.h"

void registerCommands(CommandLine& commandLine)
{
    registerProductCommands(commandLine);
    registerEmailCommands(commandLine);
    registerAttachmentCommands(commandLine);
    registerRecordCommands(commandLine);
    registerMaintenanceCommands(commandLine);
    registerCheckCommand(commandLine);
    registerImportCommands(commandLine);
    registerMailCommands(commandLine);
    registerReportCommands(commandLine);
    registerSoftwareCommands(commandLine);
    registerTotalsCommand(commandLine);
    registerLicenceCommands(commandLine);
}
