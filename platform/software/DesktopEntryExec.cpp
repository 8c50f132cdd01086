#include "DesktopEntryExec.h"

namespace {

bool isSeparator(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

// Characters a shell would act on. Outside quotes they mean the value was written for a shell.
// ('~', '*', '?' and '#' are reserved too, but nothing expands them here, so they stay literal.)
bool isShellCharacter(QChar c)
{
    return QStringView(u"'\\<>|&;$`()").contains(c);
}

bool isEscapableInQuotes(QChar c)
{
    return QStringView(u"\"`$\\").contains(c);
}

QString quoted(const QString& text)
{
    return QStringLiteral("\u201C%1\u201D").arg(text);
}

// Reads a quoted part starting after its opening quote; returns the index after the closing one,
// or -1 when the quote is never closed.
qsizetype readQuoted(const QString& exec, qsizetype i, QString* text)
{
    while (i < exec.size()) {
        const QChar c = exec.at(i);
        if (c == QLatin1Char('"')) {
            return i + 1;
        }
        if (c == QLatin1Char('\\') && i + 1 < exec.size() && isEscapableInQuotes(exec.at(i + 1))) {
            text->append(exec.at(i + 1));
            i += 2;
            continue;
        }
        text->append(c);
        ++i;
    }
    return -1;
}

} // namespace

namespace DesktopEntryExec {

std::optional<QList<Argument>> split(const QString& exec, QString* error)
{
    QList<Argument> arguments;
    Argument current;
    bool inArgument = false;
    for (qsizetype i = 0; i < exec.size();) {
        const QChar c = exec.at(i);
        if (isSeparator(c)) {
            if (inArgument) {
                arguments.append(current);
                current = Argument();
                inArgument = false;
            }
            ++i;
        } else if (c == QLatin1Char('"')) {
            inArgument = true;
            current.quoted = true;
            i = readQuoted(exec, i + 1, &current.text);
            if (i < 0) {
                *error = QStringLiteral("a quotation mark is not closed");
                return std::nullopt;
            }
        } else if (isShellCharacter(c)) {
            *error = QStringLiteral("the character %1 is not in quotes").arg(quoted(c));
            return std::nullopt;
        } else {
            inArgument = true;
            current.text.append(c);
            ++i;
        }
    }
    if (inArgument) {
        arguments.append(current);
    }
    return arguments;
}

std::optional<QStringList> expand(const QList<Argument>& arguments, const Fields& fields, QString* error)
{
    QStringList result;
    const QString firstFile = fields.files.value(0);
    for (const Argument& argument : arguments) {
        const QString& text = argument.text;
        QString value;
        bool hadCode = false;
        bool hadLiteral = false;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text.at(i) != QLatin1Char('%')) {
                value.append(text.at(i));
                hadLiteral = true;
                continue;
            }
            if (i + 1 == text.size()) {
                *error = QStringLiteral("it ends in a lone %1").arg(quoted(QStringLiteral("%")));
                return std::nullopt;
            }
            const char16_t code = text.at(++i).unicode();
            hadCode = true;
            switch (code) {
            case u'%':
                value.append(QLatin1Char('%'));
                hadLiteral = true;
                break;
            case u'f':
            case u'u':
                value.append(firstFile);
                break;
            case u'c':
                value.append(fields.name);
                break;
            case u'k':
                value.append(fields.desktopFile);
                break;
            case u'F':
            case u'U':
            case u'i':
                if (text.size() != 2 || argument.quoted) {
                    *error = QStringLiteral("the field code %1 does not stand alone").arg(quoted(text.mid(i - 1, 2)));
                    return std::nullopt;
                }
                if (code == u'i') {
                    if (!fields.icon.isEmpty()) {
                        result << QStringLiteral("--icon") << fields.icon;
                    }
                } else {
                    result.append(fields.files);
                }
                break;
            case u'd':
            case u'D':
            case u'n':
            case u'N':
            case u'v':
            case u'm':
                break;
            default:
                *error = QStringLiteral("the field code %1 is unknown").arg(quoted(text.mid(i - 1, 2)));
                return std::nullopt;
            }
        }
        const bool listCode = hadCode && text.size() == 2 && QStringView(u"FUi").contains(text.at(1));
        if (!listCode && (hadLiteral || !hadCode || !value.isEmpty())) {
            result.append(value);
        }
    }
    return result;
}

bool takesOneFile(const QList<Argument>& arguments)
{
    for (const Argument& argument : arguments) {
        const QString& text = argument.text;
        for (qsizetype i = 0; i + 1 < text.size(); ++i) {
            if (text.at(i) != QLatin1Char('%')) {
                continue;
            }
            const QChar code = text.at(++i);
            if (code == QLatin1Char('f') || code == QLatin1Char('u')) {
                return true;
            }
        }
    }
    return false;
}

} // namespace DesktopEntryExec
