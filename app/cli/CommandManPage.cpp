#include "CommandManPage.h"

#include "CommandLine.h"

QString CommandManPage::text(const CommandLine& commandLine, const QString& version)
{
    // No date in the title line: the page of one version is the same whoever builds it.
    QString page = QStringLiteral(".TH KEYMOOR 1 \"\" \"Keymoor %1\" \"User Commands\"\n").arg(escaped(version));
    page += QStringLiteral(".SH NAME\nkeymoor \\- keep a catalogue of the software you bought\n"
                           ".SH SYNOPSIS\n.B keymoor\n[\\fIFILE\\fR...]\n.br\n"
                           ".B keymoor\n\\fICOMMAND\\fR [\\fIARGUMENTS\\fR]\n"
                           ".SH DESCRIPTION\n"
                           "Without arguments, or with files to open, keymoor opens its window: product files\n"
                           "and other catalogues' files are imported, applications become new products.\n"
                           "With a command, it works on the same catalogue from the terminal.\n"
                           ".SH OPTIONS\n");
    writeRow(page, QStringLiteral("--help, -h"), QStringLiteral("show the commands; with a command, its help"));
    writeRow(page, QStringLiteral("--version, -v"), QStringLiteral("print the version"));
    writeRow(page, QStringLiteral("--new-product"), QStringLiteral("open the window with a new product"));
    writeRow(page, QStringLiteral("--discover-software"),
             QStringLiteral("open the window on the installed software not yet in the catalogue"));
    writeRow(page, QStringLiteral("--find-licences-in-mail"),
             QStringLiteral("open the window on the licences found in your mail"));
    writeCommands(page, commandLine);
    page += QStringLiteral(".SH FILES\n.TP\n.I ~/.local/share/Keymoor/Keymoor.kmlib\n"
                           "The library: the catalogue and its attached files.\n"
                           ".SH ENVIRONMENT\n.TP\n.B KEYMOOR_VERBOSE\n"
                           "When set, commands also print the lines of the log on standard error.\n");
    return page;
}

void CommandManPage::writeCommands(QString& page, const CommandLine& commandLine)
{
    page += QStringLiteral(".SH COMMANDS\n");
    for (const CliCommand& command : commandLine.commands()) {
        page += QStringLiteral(".SS ") + escaped(command.name) + u'\n';
        for (const CommandOptions& form : command.forms) {
            page += QStringLiteral(".B ") + escaped(form.usageLine().simplified()) + QStringLiteral("\n.br\n");
        }
        writeParagraphs(page, command.description.isEmpty() ? command.summary : command.description);
        for (const CommandOptions& form : command.forms) {
            for (const auto& [names, help] : form.helpRows()) {
                writeRow(page, names, help);
            }
        }
    }
}

void CommandManPage::writeParagraphs(QString& page, const QString& text)
{
    page += QStringLiteral(".PP\n");
    for (const QString& line : text.split(u'\n')) {
        if (line.trimmed().isEmpty()) {
            page += QStringLiteral(".PP\n");
        } else if (line.startsWith(u' ')) {
            // An example keeps its own line, unfilled.
            page += QStringLiteral(".nf\n\\ \\ ") + escaped(line.trimmed()) + QStringLiteral("\n.fi\n");
        } else {
            page += escaped(line) + u'\n';
        }
    }
}

void CommandManPage::writeRow(QString& page, const QString& names, const QString& help)
{
    page += QStringLiteral(".TP\n.B ") + escaped(names) + u'\n';
    const QString body = help.isEmpty() ? QString() : escaped(help).replace(u'\n', u' ');
    page += body.isEmpty() ? QStringLiteral("\\&\n") : body + u'\n';
}

QString CommandManPage::escaped(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar character : text) {
        if (character == u'\\') {
            result += QStringLiteral("\\e");
        } else if (character == u'-') {
            result += QStringLiteral("\\-");
        } else {
            result += character;
        }
    }
    if (result.startsWith(u'.') || result.startsWith(u'\'')) {
        result.prepend(QStringLiteral("\\&"));
    }
    return result;
}
