#include "DebianPackages.h"

#include "DesktopEntryLog.h"
#include "PackageToolRunner.h"

#include <QRegularExpression>
#include <QSet>

namespace {

const QString Tool = QStringLiteral("dpkg-query");

bool isPackageName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^[a-z0-9][a-z0-9+.-]*$"));
    return pattern.match(name).hasMatch();
}

QString withoutArchitecture(const QString& name)
{
    return name.section(QLatin1Char(':'), 0, 0).trimmed();
}

QList<QByteArray> lines(const QByteArray& output)
{
    return output.split('\n');
}

// Runs dpkg-query once per slice of the arguments; answers nothing more once the tool is missing.
template<typename Result, typename Parse>
Result runInSlices(const QStringList& fixedArguments, const QStringList& arguments, Parse parse)
{
    Result result;
    for (qsizetype start = 0; start < arguments.size(); start += DebianPackages::ArgumentsPerRun) {
        QString error;
        const auto output = PackageToolRunner::run(
            Tool, fixedArguments + arguments.mid(start, DebianPackages::ArgumentsPerRun), &error);
        if (!output) {
            qCWarning(desktopEntryLog).noquote() << QStringLiteral("No package facts from dpkg: %1").arg(error);
            break;
        }
        result.insert(parse(*output));
    }
    return result;
}

} // namespace

namespace DebianPackages {

QHash<QString, QString> owners(const QStringList& paths)
{
    QStringList absolute;
    for (const QString& path : paths) {
        if (path.startsWith(QLatin1Char('/')) && !absolute.contains(path)) {
            absolute.append(path);
        }
    }
    return runInSlices<QHash<QString, QString>>({QStringLiteral("--search"), QStringLiteral("--")}, absolute,
                                                parseSearchOutput);
}

QHash<QString, DebianPackage> packages(const QStringList& names)
{
    QStringList valid;
    QSet<QString> seen;
    for (const QString& name : names) {
        if (isPackageName(withoutArchitecture(name)) && !seen.contains(name)) {
            seen.insert(name);
            valid.append(name);
        }
    }
    const QStringList fixed {QStringLiteral("--show"),
                             QStringLiteral("--showformat=${Package}\\t${Version}\\t${Homepage}\\t${Maintainer}\\n"),
                             QStringLiteral("--")};
    return runInSlices<QHash<QString, DebianPackage>>(fixed, valid, parseShowOutput);
}

QString maintainerOrganisation(const QString& maintainer)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*([^<]*?)\\s*(?:<([^>]*)>)?\\s*$"));
    const QRegularExpressionMatch match = pattern.match(maintainer);
    if (!match.hasMatch()) {
        return {};
    }
    const QString domain = match.captured(2).section(QLatin1Char('@'), 1).toLower();
    for (const char* distribution : {"debian.org", "debian.net", "ubuntu.com", "canonical.com", "launchpad.net"}) {
        const QString suffix = QString::fromLatin1(distribution);
        if (domain == suffix || domain.endsWith(QLatin1Char('.') + suffix)) {
            return {};
        }
    }
    return match.captured(1);
}

// "pkg[:arch][, pkg2]: /path"; "diversion by ..." and "local diversion ..." lines say nothing of
// owners.
QHash<QString, QString> parseSearchOutput(const QByteArray& output)
{
    QHash<QString, QString> owners;
    for (const QByteArray& line : lines(output)) {
        const QString text = QString::fromUtf8(line);
        const qsizetype separator = text.indexOf(QLatin1String(": /"));
        if (separator <= 0 || text.startsWith(QLatin1String("diversion by"))
            || text.startsWith(QLatin1String("local diversion"))) {
            continue;
        }
        const QString owner = withoutArchitecture(text.left(separator).section(QLatin1Char(','), 0, 0));
        const QString path = text.mid(separator + 2);
        if (isPackageName(owner) && !owners.contains(path)) {
            owners.insert(path, owner);
        }
    }
    return owners;
}

QHash<QString, DebianPackage> parseShowOutput(const QByteArray& output)
{
    QHash<QString, DebianPackage> packages;
    for (const QByteArray& line : lines(output)) {
        const QStringList fields = QString::fromUtf8(line).split(QLatin1Char('\t'));
        if (fields.size() != 4) {
            continue;
        }
        DebianPackage package {withoutArchitecture(fields.at(0)), fields.at(1).trimmed(), fields.at(2).trimmed(),
                               fields.at(3).trimmed()};
        if (isPackageName(package.name) && !package.version.isEmpty() && !packages.contains(package.name)) {
            packages.insert(package.name, package);
        }
    }
    return packages;
}

} // namespace DebianPackages
