#include "AppImageFile.h"

#include "DesktopEntryExec.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QLatin1String Extension(".AppImage");

bool hasAppImageMark(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray head = file.read(11);
    return head.size() == 11 && head.at(0) == '\x7f' && head.mid(1, 3) == "ELF" && head.mid(8, 2) == "AI"
        && (head.at(10) == 1 || head.at(10) == 2);
}

} // namespace

namespace AppImageFile {

bool isAppImage(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        return false;
    }
    return info.fileName().endsWith(Extension, Qt::CaseInsensitive) || hasAppImageMark(path);
}

NameParts nameParts(const QString& fileName)
{
    static const QRegularExpression architecture(
        QStringLiteral("[-_.](x86[-_]64|amd64|x64|i[3-6]86|x86|aarch64|arm64|armhf|armv7l)$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression versionStart(QStringLiteral("[-_](?=[vV]?[0-9])"));
    QString name = QFileInfo(fileName).fileName();
    if (name.endsWith(Extension, Qt::CaseInsensitive)) {
        name.chop(Extension.size());
    }
    name.remove(architecture);
    const QRegularExpressionMatch match = versionStart.match(name);
    if (!match.hasMatch() || match.capturedStart() == 0) {
        return {name, {}};
    }
    QString version = name.mid(match.capturedEnd());
    if (version.startsWith(QLatin1Char('v'), Qt::CaseInsensitive)) {
        version.remove(0, 1);
    }
    return {name.left(match.capturedStart()), version};
}

QString appImageOfExec(const QString& exec)
{
    QString error;
    const std::optional<QList<DesktopEntryExec::Argument>> arguments = DesktopEntryExec::split(exec, &error);
    if (!arguments || arguments->isEmpty()) {
        return {};
    }
    const QString program = arguments->constFirst().text;
    return program.startsWith(QLatin1Char('/')) && isAppImage(program) ? program : QString();
}

} // namespace AppImageFile
