#include "SnapPackages.h"

#include "DesktopEntryLog.h"
#include "PackageToolRunner.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

QString withoutMark(QString publisher)
{
    for (const QString& mark :
         {QStringLiteral("**"), QStringLiteral("*"), QStringLiteral("\u2713"), QStringLiteral("\u272A")}) {
        if (publisher.endsWith(mark)) {
            publisher.chop(mark.size());
            break;
        }
    }
    return publisher == QLatin1String("-") ? QString() : publisher;
}

} // namespace

namespace SnapPackages {

QHash<QString, SnapPackage> installed()
{
    const QString tool = QStringLiteral("snap");
    if (!PackageToolRunner::isAvailable(tool)) {
        return {};
    }
    QString error;
    const auto output = PackageToolRunner::run(tool, {QStringLiteral("list")}, &error);
    if (!output) {
        qCWarning(desktopEntryLog).noquote() << QStringLiteral("No package facts from Snap: %1").arg(error);
        return {};
    }
    return parseList(*output);
}

QHash<QString, SnapPackage> parseList(const QByteArray& output)
{
    static const QRegularExpression spaces(QStringLiteral("\\s+"));
    static const QRegularExpression snapName(QStringLiteral("^[a-z0-9][a-z0-9-]*(_[a-z0-9]+)?$"));
    QHash<QString, SnapPackage> packages;
    for (const QByteArray& line : output.split('\n')) {
        const QStringList columns = QString::fromUtf8(line).split(spaces, Qt::SkipEmptyParts);
        if (columns.size() < 5 || !snapName.match(columns.at(0)).hasMatch()) {
            continue;
        }
        SnapPackage package {columns.at(0), columns.at(1), withoutMark(columns.at(4))};
        if (!packages.contains(package.name)) {
            packages.insert(package.name, package);
        }
    }
    return packages;
}

} // namespace SnapPackages
