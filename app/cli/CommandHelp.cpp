#include "CommandHelp.h"

#include <algorithm>

namespace {

constexpr qsizetype Width = 100;
// Names longer than this put their help on the next line.
constexpr qsizetype MaximumNameColumn = 30;

} // namespace

QString CommandHelp::text(const QString& description, const QList<CommandOptions>& forms)
{
    QString text = CommandOptions::usage(forms);
    if (!description.isEmpty()) {
        text += QStringLiteral("\n\n") + wrapped(description, Width).join(u'\n');
    }
    QList<QPair<QString, Rows>> sections;
    const Rows help {{QStringLiteral("--help, -h"), QStringLiteral("show this help")}};
    if (forms.size() == 1) {
        const Rows rows = forms.first().helpRows();
        const qsizetype positionals = forms.first().positionals().size();
        sections.append({QStringLiteral("Arguments:"), rows.first(positionals)});
        sections.append({QStringLiteral("Options:"), rows.sliced(positionals) + help});
    } else {
        for (const CommandOptions& form : forms) {
            sections.append({QStringLiteral("keymoor ") + form.command() + u':', form.helpRows()});
        }
        sections.append({QStringLiteral("Options:"), help});
    }
    qsizetype column = 0;
    for (const auto& section : std::as_const(sections)) {
        for (const auto& row : section.second) {
            if (row.first.size() <= MaximumNameColumn) {
                column = std::max(column, row.first.size());
            }
        }
    }
    text += u'\n';
    for (const auto& [title, rows] : std::as_const(sections)) {
        writeSection(text, title, rows, column);
    }
    text.chop(1); // the caller ends the text
    return text;
}

void CommandHelp::writeSection(QString& text, const QString& title, const Rows& rows, qsizetype column)
{
    if (rows.isEmpty()) {
        return;
    }
    text += u'\n' + title + u'\n';
    const QString indent(2 + column + 2, u' ');
    for (const auto& [names, help] : rows) {
        QString row = QStringLiteral("  ") + names;
        if (help.isEmpty()) {
            text += row + u'\n';
            continue;
        }
        if (row.size() >= indent.size()) {
            text += row + u'\n';
            row = indent;
        }
        const QStringList lines = wrapped(help, Width - indent.size());
        text += row.leftJustified(indent.size()) + lines.join(u'\n' + indent) + u'\n';
    }
}

QStringList CommandHelp::wrapped(const QString& text, qsizetype width)
{
    QStringList lines;
    for (const QString& paragraph : text.split(u'\n')) {
        // An indented line (an example) keeps its indent on the lines it wraps to.
        qsizetype leading = 0;
        while (leading < paragraph.size() && paragraph.at(leading) == u' ') {
            ++leading;
        }
        const QString indent(leading, u' ');
        QString line = indent;
        for (const QString& word : paragraph.split(u' ', Qt::SkipEmptyParts)) {
            if (line.size() > indent.size() && line.size() + 1 + word.size() > width) {
                lines.append(line);
                line = indent;
            }
            line += (line.size() > indent.size() ? QStringLiteral(" ") : QString()) + word;
        }
        lines.append(line);
    }
    return lines;
}
