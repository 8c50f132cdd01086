#pragma once

class CommandLine;

// "report" (the products report as a PDF file) and "sync" (the sync folder of the phone companion).
void registerReportCommands(CommandLine& commandLine);
