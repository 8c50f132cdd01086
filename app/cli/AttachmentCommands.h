#pragma once

class CommandLine;

// "attach", "attachments" and "export-attachments".
void registerAttachmentCommands(CommandLine& commandLine);
