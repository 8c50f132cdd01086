#include "ImportCsvCommand.h"

#include "CliCommand.h"
#include "CliSession.h"
#include "model/ExportField.h"
#include "model/ProductEntity.h"

#include <QFileInfo>
#include <QTextStream>

namespace {

using OpenMode = KeymoorAppDelegate::OpenMode;

// The key path of each column: a product field, or "-" (also "skip" or "Don't Import") for a column
// that is not imported.
std::optional<QStringList> parseMapping(const QString& text, QTextStream& err)
{
    QStringList known;
    for (const auto& entry : exportableKeyPathLabelKeys()) {
        known.append(entry.first);
    }
    QStringList mapping;
    for (const QString& part : text.split(u',')) {
        const QString key = part.trimmed();
        if (key == u"-" || key.compare(QLatin1String("skip"), Qt::CaseInsensitive) == 0
            || key == ProductEntity::DontImportKey) {
            mapping.append(ProductEntity::DontImportKey);
        } else if (known.contains(key)) {
            mapping.append(key);
        } else {
            err << "keymoor: unknown field \"" << key << "\" in --map; the fields are - (not imported), "
                << known.join(QStringLiteral(", ")) << Qt::endl;
            return std::nullopt;
        }
    }
    if (!mapping.contains(QStringLiteral("title"))) {
        err << "keymoor: --map must name the title column" << Qt::endl;
        return std::nullopt;
    }
    return mapping;
}

struct CsvArguments
{
    QString file;
    QStringList mapping;
    DelimitedTextOptions options;
    bool update = false;
};

// The delimiter of --field-delimiter or --record-delimiter; nothing after an error.
std::optional<QString> namedDelimiter(const QString& option, const QString& name, QTextStream& err)
{
    const QString delimiter = DelimitedTextOptions::delimiterForKey(name);
    if (delimiter.isEmpty()) {
        err << "keymoor: --" << option << " takes comma, tab, semicolon, colon or return" << Qt::endl;
        return std::nullopt;
    }
    return delimiter;
}

// Checks the values of the options: every --map and delimiter given, and the quote; answers
// nothing after an error.
std::optional<CsvArguments> csvArguments(const CommandArguments& arguments, QTextStream& err)
{
    CsvArguments parsed;
    parsed.options.hasHeaderRow = arguments.isSet(QStringLiteral("header"));
    parsed.update = arguments.isSet(QStringLiteral("update"));
    for (const QString& value : arguments.values(QStringLiteral("map"))) {
        const auto mapping = parseMapping(value, err);
        if (!mapping) {
            return std::nullopt;
        }
        parsed.mapping = *mapping;
    }
    for (const QString& value : arguments.values(QStringLiteral("quote"))) {
        parsed.options.quote = DelimitedTextOptions::quotesForKey(value + QStringLiteral(" Quote"));
        if (parsed.options.quote.isEmpty() && value.compare(QLatin1String("none"), Qt::CaseInsensitive) != 0) {
            err << "keymoor: --quote takes double, single or none" << Qt::endl;
            return std::nullopt;
        }
    }
    for (const QString& option : {QStringLiteral("field-delimiter"), QStringLiteral("record-delimiter")}) {
        for (const QString& value : arguments.values(option)) {
            const std::optional<QString> delimiter = namedDelimiter(option, value, err);
            if (!delimiter) {
                return std::nullopt;
            }
            (option == u"field-delimiter" ? parsed.options.fieldDelimiter : parsed.options.recordDelimiter)
                = *delimiter;
        }
    }
    const QStringList& positional = arguments.positional();
    if (positional.size() > 1) {
        err << "keymoor: unexpected argument " << positional.at(1) << Qt::endl;
        return std::nullopt;
    }
    parsed.file = positional.value(0);
    if (parsed.file.isEmpty() || !arguments.isSet(QStringLiteral("map"))) {
        err << "keymoor: import csv needs a FILE and --map" << Qt::endl;
        return std::nullopt;
    }
    return parsed;
}

} // namespace

int importCsv(const QStringList& words, CliStreams& streams)
{
    const std::optional<CommandArguments> arguments = importCsvOptions().parse(words, streams.err);
    if (!arguments) {
        return 2;
    }
    const auto parsed = csvArguments(*arguments, streams.err);
    if (!parsed) {
        return arguments->usageError(streams.err);
    }
    if (!QFileInfo(parsed->file).isFile()) {
        streams.err << "keymoor: " << parsed->file << ": no such file" << Qt::endl;
        return 1;
    }
    CliSession session(streams, OpenMode::ReadWrite);
    if (!session.open() || !session.save()) {
        return 1;
    }
    const auto counts = session.delegate().importTextFile(QFileInfo(parsed->file).absoluteFilePath(), parsed->options,
                                                          parsed->mapping, parsed->update);
    if (!counts) {
        streams.err << "keymoor: nothing was imported; the catalogue is unchanged." << Qt::endl;
        return 1;
    }
    printImportCounts(streams.out, *counts);
    session.finish();
    return 0;
}

CommandOptions importCsvOptions()
{
    const QString delimiterHelp = QStringLiteral("comma, tab, semicolon, colon or return");
    return CommandOptions(
        QStringLiteral("import csv"),
        {CliOption::requiredValue(QStringLiteral("map"), QStringLiteral("KEY,KEY,..."),
                                  QStringLiteral("the field of each column, in order, or - for a column that is "
                                                 "not imported")),
         CliOption::value(QStringLiteral("field-delimiter"), QStringLiteral("NAME"),
                          QStringLiteral("between fields: ") + delimiterHelp + QStringLiteral(" (default: comma)")),
         CliOption::value(QStringLiteral("record-delimiter"), QStringLiteral("NAME"),
                          QStringLiteral("between rows: ") + delimiterHelp + QStringLiteral(" (default: return)")),
         CliOption::value(QStringLiteral("quote"), QStringLiteral("double|single|none"),
                          QStringLiteral("the quote that lets fields hold delimiters and line breaks")),
         CliOption::flag(QStringLiteral("header"), QStringLiteral("skip the first row")),
         CliOption::flag(QStringLiteral("update"),
                         QStringLiteral("update the product whose title matches a row's instead of adding one"))},
        {{QStringLiteral("FILE"), QStringLiteral("UTF-8 text; each row becomes a product")}});
}

void printImportCounts(QTextStream& out, const ImportCounts& counts)
{
    out << "Added " << counts.added << " product(s), updated " << counts.updated << " product(s)." << Qt::endl;
}
