#include "EvolutionIdentity.h"

#include "IdentityFileText.h"

#include <QDir>
#include <QHash>

namespace {

QString unescaped(const QString& value)
{
    QString text;
    text.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            text.append(c);
            continue;
        }
        switch (value.at(++i).unicode()) {
        case 's':
            text.append(QLatin1Char(' '));
            break;
        case 'n':
            text.append(QLatin1Char('\n'));
            break;
        case 't':
            text.append(QLatin1Char('\t'));
            break;
        case 'r':
            text.append(QLatin1Char('\r'));
            break;
        default:
            text.append(value.at(i));
            break;
        }
    }
    return text;
}

bool isEnabled(const QHash<QString, QString>& dataSource)
{
    return dataSource.value(QStringLiteral("Enabled"), QStringLiteral("true"))
               .trimmed()
               .compare(QLatin1String("false"), Qt::CaseInsensitive)
        != 0;
}

std::optional<PersonIdentity> identityInFile(const QString& path, QString* problem)
{
    const std::optional<QString> text = IdentityFileText::read(path, problem);
    if (!text) {
        return std::nullopt;
    }
    QString syntax;
    const auto identity = EvolutionIdentity::keyFileGroup(*text, QStringLiteral("Mail Identity"), &syntax);
    const auto dataSource = EvolutionIdentity::keyFileGroup(*text, QStringLiteral("Data Source"), &syntax);
    if (!identity || !dataSource) {
        *problem = QStringLiteral("%1 is not a key file: %2").arg(path, syntax);
        return std::nullopt;
    }
    if (!isEnabled(*dataSource)) {
        return PersonIdentity();
    }
    return PersonIdentity {identity->value(QStringLiteral("Name")).trimmed(),
                           identity->value(QStringLiteral("Address")).trimmed(),
                           identity->value(QStringLiteral("Organization")).trimmed()};
}

} // namespace

namespace EvolutionIdentity {

std::optional<QHash<QString, QString>> keyFileGroup(const QString& text, const QString& group, QString* problem)
{
    QHash<QString, QString> values;
    QString current;
    int lineNumber = 0;
    for (const QString& rawLine : text.split(QLatin1Char('\n'))) {
        ++lineNumber;
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']'))) {
                *problem = QStringLiteral("line %1 opens a group it does not close").arg(lineNumber);
                return std::nullopt;
            }
            current = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0 || current.isEmpty()) {
            *problem = QStringLiteral("line %1 is not a value of a group").arg(lineNumber);
            return std::nullopt;
        }
        const QString key = line.left(equals).trimmed();
        if (current == group && !key.contains(QLatin1Char('['))) {
            values.insert(key, unescaped(line.mid(equals + 1).trimmed()));
        }
    }
    return values;
}

PersonIdentity read(const QStringList& sourceFolders, const ProblemReport& report)
{
    for (const QString& folder : sourceFolders) {
        const QStringList files
            = QDir(folder).entryList({QStringLiteral("*.source")}, QDir::Files | QDir::Readable, QDir::Name);
        for (const QString& name : files) {
            QString problem;
            const std::optional<PersonIdentity> identity = identityInFile(QDir(folder).filePath(name), &problem);
            if (!identity) {
                report(problem);
            } else if (identity->isUsable()) {
                return *identity;
            }
        }
    }
    return {};
}

} // namespace EvolutionIdentity
