#include "CliCommand.h"

#include "CommandHelp.h"

CliCommand CliCommand::withOptions(const QString& summary, const QString& description, const CommandOptions& options,
                                   ParsedRun run)
{
    Run parsingRun = [options, run = std::move(run)](const QStringList& arguments, CliStreams& streams) {
        const std::optional<CommandArguments> parsed = options.parse(arguments, streams.err);
        return parsed ? run(*parsed, streams) : 2;
    };
    return {options.command(), summary, description, {options}, std::move(parsingRun)};
}

QString CliCommand::help() const
{
    return CommandHelp::text(description, forms);
}
