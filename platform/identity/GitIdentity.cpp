#include "GitIdentity.h"

#include "IdentityFileText.h"

#include <QDir>
#include <QFile>

namespace {

// A value as git reads it: surrounding blanks dropped, double quotes joining, '#' or ';' outside
// quotes starting a comment, backslash escapes.
QString configValue(const QString& raw)
{
    QString value;
    bool inQuotes = false;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c == QLatin1Char('"')) {
            inQuotes = !inQuotes;
        } else if (!inQuotes && (c == QLatin1Char('#') || c == QLatin1Char(';'))) {
            break;
        } else if (c == QLatin1Char('\\') && i + 1 < raw.size()) {
            const QChar next = raw.at(++i);
            value.append(next == QLatin1Char('n')       ? QLatin1Char('\n')
                             : next == QLatin1Char('t') ? QLatin1Char('\t')
                                                        : next);
        } else {
            value.append(c);
        }
    }
    return value.trimmed();
}

} // namespace

namespace GitIdentity {

QStringList globalConfigFiles()
{
    const QString global = QFile::decodeName(qgetenv("GIT_CONFIG_GLOBAL"));
    if (!global.isEmpty()) {
        return {global};
    }
    QString config = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    if (config.isEmpty() || QDir::isRelativePath(config)) {
        config = QDir::home().filePath(QStringLiteral(".config"));
    }
    return {QDir(config).filePath(QStringLiteral("git/config")), QDir::home().filePath(QStringLiteral(".gitconfig"))};
}

void readUserSection(const QString& text, PersonIdentity* identity)
{
    bool inUser = false;
    for (const QString& rawLine : text.split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype end = line.indexOf(QLatin1Char(']'));
            inUser = end > 0 && line.mid(1, end - 1).trimmed().compare(QLatin1String("user"), Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inUser || equals <= 0) {
            continue;
        }
        const QString key = line.left(equals).trimmed();
        if (key.compare(QLatin1String("name"), Qt::CaseInsensitive) == 0) {
            identity->name = configValue(line.mid(equals + 1));
        } else if (key.compare(QLatin1String("email"), Qt::CaseInsensitive) == 0) {
            identity->email = configValue(line.mid(equals + 1));
        }
    }
}

PersonIdentity read(const QStringList& files)
{
    PersonIdentity identity;
    for (const QString& path : files) {
        QString problem;
        if (const std::optional<QString> text = IdentityFileText::read(path, &problem)) {
            readUserSection(*text, &identity);
        }
    }
    return identity;
}

} // namespace GitIdentity
