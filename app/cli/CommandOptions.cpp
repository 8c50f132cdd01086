#include "CommandOptions.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace {

// Usage lines are wrapped before they pass this many characters, "Usage: " included.
constexpr qsizetype UsageWidth = 110;
const QString UsagePrefix = QStringLiteral("Usage: ");

// The option name an argument spells ("--title=X" and "-title" give "title"); empty for anything
// that is no option.
QString spelledOptionName(const QString& argument)
{
    if (!argument.startsWith(u'-') || argument.size() < 2 || argument == u"--") {
        return {};
    }
    const qsizetype dashes = argument.startsWith(QLatin1String("--")) ? 2 : 1;
    return argument.mid(dashes).section(u'=', 0, 0);
}

// The arguments before `--`, where options are read.
QStringList optionArea(const QStringList& arguments)
{
    const qsizetype end = arguments.indexOf(QStringLiteral("--"));
    return end < 0 ? arguments : arguments.first(end);
}

} // namespace

CommandOptions::CommandOptions(QString command, QList<CliOption> options, QList<CliPositional> positionals)
    : m_command(std::move(command))
    , m_options(std::move(options))
    , m_positionals(std::move(positionals))
{ }

QString CommandOptions::usageLine() const
{
    QStringList items;
    for (const CliPositional& positional : m_positionals) {
        items.append(positional.syntax);
    }
    for (const CliOption& option : m_options) {
        QString item = QStringLiteral("--") + option.name;
        if (!option.valueName.isEmpty()) {
            item += u' ' + option.valueName;
        }
        items.append(option.required ? item : u'[' + item + u']');
    }
    const QString lead = QStringLiteral("keymoor ") + m_command;
    const QString indent(UsagePrefix.size() + lead.size(), u' ');
    QStringList lines;
    QString line = lead;
    qsizetype width = UsagePrefix.size() + lead.size();
    for (const QString& item : std::as_const(items)) {
        if (width + 1 + item.size() > UsageWidth && width > indent.size()) {
            lines.append(line);
            line = indent;
            width = indent.size();
        }
        line += u' ' + item;
        width += 1 + item.size();
    }
    lines.append(line);
    return lines.join(u'\n');
}

QString CommandOptions::usage(const QList<CommandOptions>& forms)
{
    QStringList lines;
    for (const CommandOptions& form : forms) {
        lines.append(form.usageLine());
    }
    return UsagePrefix + lines.join(u'\n' + QString(UsagePrefix.size(), u' '));
}

QList<QPair<QString, QString>> CommandOptions::helpRows() const
{
    QList<QPair<QString, QString>> rows;
    for (const CliPositional& positional : m_positionals) {
        rows.append({positional.syntax, positional.help});
    }
    for (const CliOption& option : m_options) {
        QString names = QStringLiteral("--") + option.name;
        if (!option.shortName.isEmpty()) {
            names = u'-' + option.shortName + QStringLiteral(", ") + names;
        }
        if (!option.valueName.isEmpty()) {
            names += u' ' + option.valueName;
        }
        rows.append({names, option.help});
    }
    return rows;
}

std::optional<CommandArguments> CommandOptions::parse(const QStringList& arguments, QTextStream& err) const
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    for (const CliOption& option : m_options) {
        QStringList names {option.name};
        if (!option.shortName.isEmpty()) {
            names.prepend(option.shortName);
        }
        parser.addOption(QCommandLineOption(names, option.help, option.valueName));
    }
    // The parser expects the program name first.
    if (!parser.parse(QStringList {QStringLiteral("keymoor")} + arguments)) {
        err << "keymoor: " << parseError(parser, arguments) << Qt::endl;
        err << "Usage: " << usageLine() << Qt::endl;
        return std::nullopt;
    }
    QHash<QString, QStringList> values;
    for (const CliOption& option : m_options) {
        if (parser.isSet(option.name)) {
            values.insert(option.name, parser.values(option.name));
        }
    }
    return CommandArguments(usageLine(), values, parser.positionalArguments());
}

QString CommandOptions::parseError(const QCommandLineParser& parser, const QStringList& arguments) const
{
    const QStringList options = optionArea(arguments);
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        for (const QString& argument : options) {
            if (spelledOptionName(argument) == unknown.first()) {
                return QStringLiteral("unknown option ") + argument.section(u'=', 0, 0);
            }
        }
        return QStringLiteral("unknown option --") + unknown.first();
    }
    // A value is missing only after the last argument.
    const QString last = arguments.value(arguments.size() - 1);
    const CliOption* lastOption = option(spelledOptionName(last));
    if (lastOption && !lastOption->valueName.isEmpty() && !last.contains(u'=')) {
        return last + QStringLiteral(" needs a value");
    }
    for (const QString& argument : options) {
        const CliOption* flag = option(spelledOptionName(argument));
        if (flag && flag->valueName.isEmpty() && argument.contains(u'=')) {
            return argument.section(u'=', 0, 0) + QStringLiteral(" takes no value");
        }
    }
    return parser.errorText();
}

const CliOption* CommandOptions::option(const QString& nameOrShortName) const
{
    if (nameOrShortName.isEmpty()) {
        return nullptr;
    }
    for (const CliOption& option : m_options) {
        if (option.name == nameOrShortName || option.shortName == nameOrShortName) {
            return &option;
        }
    }
    return nullptr;
}
