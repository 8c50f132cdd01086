#include "FlatpakPackages.h"

#include "DesktopEntryLog.h"
#include "PackageToolRunner.h"

#include <QRegularExpression>
#include <QStringList>

namespace FlatpakPackages {

QHash<QString, FlatpakPackage> installed()
{
    const QString tool = QStringLiteral("flatpak");
    if (!PackageToolRunner::isAvailable(tool)) {
        return {};
    }
    QString error;
    const auto output = PackageToolRunner::run(
        tool, {QStringLiteral("list"), QStringLiteral("--app"), QStringLiteral("--columns=application,version,origin")},
        &error);
    if (!output) {
        qCWarning(desktopEntryLog).noquote() << QStringLiteral("No package facts from Flatpak: %1").arg(error);
        return {};
    }
    return parseList(*output);
}

// Tab-separated "application, version, origin"; the version may be empty.
QHash<QString, FlatpakPackage> parseList(const QByteArray& output)
{
    static const QRegularExpression applicationId(QStringLiteral("^[A-Za-z0-9_-]+(\\.[A-Za-z0-9_-]+)+$"));
    QHash<QString, FlatpakPackage> packages;
    for (const QByteArray& line : output.split('\n')) {
        const QStringList fields = QString::fromUtf8(line).split(QLatin1Char('\t'));
        if (fields.size() < 2) {
            continue;
        }
        FlatpakPackage package {fields.at(0).trimmed(), fields.at(1).trimmed(),
                                fields.size() > 2 ? fields.at(2).trimmed() : QString()};
        if (applicationId.match(package.application).hasMatch() && !packages.contains(package.application)) {
            packages.insert(package.application, package);
        }
    }
    return packages;
}

} // namespace FlatpakPackages
