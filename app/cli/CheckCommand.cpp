#include "CheckCommand.h"

#include "CheckOutput.h"
#include "CommandLine.h"
#include "TerminalUserInterface.h"
#include "maintenance/LibraryCheck.h"
#include "maintenance/LibraryRepair.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QTextStream>

#include <unistd.h>

namespace {

CommandOptions checkOptions()
{
    return CommandOptions(
        QStringLiteral("check"),
        {CliOption::flag(QStringLiteral("json"), QStringLiteral("print one JSON object instead of lines")),
         CliOption::flag(QStringLiteral("repair"), QStringLiteral("mend what was found (takes the library lock)")),
         CliOption::flag(QStringLiteral("yes"),
                         QStringLiteral("with --repair: remove records whose stored file is missing without asking"))});
}

int repairLibrary(const LibraryCheckReport& found, bool json, bool yes, CliStreams& streams)
{
    TerminalUserInterface terminal(streams.out, streams.err);
    QTextStream keyboard(stdin);
    if (yes) {
        terminal.setAnswer(Answer::Yes);
    } else if (::isatty(STDIN_FILENO) == 1) {
        terminal.setInput(&keyboard); // someone is at the terminal to answer
    }
    const LibraryRepairResult repair
        = LibraryRepair(found.location(), &terminal, QDateTime::currentDateTime()).run(found);
    const LibraryCheckReport after = LibraryCheck(found.location()).run();
    if (json) {
        streams.out << QJsonDocument(CheckOutput::toJson(found, &repair, &after)).toJson(QJsonDocument::Indented);
        streams.out.flush();
    } else {
        CheckOutput::printText(streams.out, found);
        CheckOutput::printRepairText(streams.out, repair, after);
    }
    if (!repair.succeeded) {
        streams.err << "keymoor: " << repair.error << Qt::endl;
        for (const QString& file : repair.unmovedFiles) {
            streams.err << "keymoor: " << file << Qt::endl;
        }
    }
    return repair.succeeded && after.isClean() ? 0 : 1;
}

int checkCommand(const CommandArguments& arguments, CliStreams& streams)
{
    const bool json = arguments.isSet(QStringLiteral("json"));
    const bool repair = arguments.isSet(QStringLiteral("repair"));
    const bool yes = arguments.isSet(QStringLiteral("yes"));
    if (!arguments.positional().isEmpty() || (yes && !repair)) {
        return arguments.usageError(streams.err);
    }
    const LibraryCheckReport found = LibraryCheck(LibraryCheckLocation::standard()).run();
    if (repair && found.libraryExists() && !found.isClean()) {
        return repairLibrary(found, json, yes, streams);
    }
    if (json) {
        streams.out << QJsonDocument(CheckOutput::toJson(found)).toJson(QJsonDocument::Indented);
        streams.out.flush();
    } else {
        CheckOutput::printText(streams.out, found);
    }
    return found.isClean() ? 0 : 1;
}

} // namespace

void registerCheckCommand(CommandLine& commandLine)
{
    commandLine.addCommand(CliCommand::withOptions(
        QStringLiteral("check the library and repair what can be repaired"),
        QStringLiteral(
            "Runs SQLite's integrity check on the store, checks that every attached file and icon the catalogue\n"
            "names is in the library folder and that every file in its Attachments and Icons folders is named,\n"
            "and that records which should name each other do. Prints one line per problem and a summary;\n"
            "exits with 0 when the library is in order, 1 when something is wrong. Without --repair nothing\n"
            "is changed and no lock is taken.\n\n"
            "--repair moves the files no record names into a dated folder beside the library folder\n"
            "(\"Keymoor Orphans 2026-12-07 203000\"; no file is ever deleted), mends references between\n"
            "records, and removes records whose stored file is missing or that belong to nothing after asking;\n"
            "the question is asked at the terminal (answer y) and answered no when nobody is there to type,\n"
            "unless --yes is given. A damaged store is not\n"
            "repaired: restore a backup instead."),
        checkOptions(), checkCommand));
}
