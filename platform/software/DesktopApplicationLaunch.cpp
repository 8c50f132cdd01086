#include "DesktopApplicationLaunch.h"

#include "DesktopEntryExec.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

QString displayName(const DesktopApplication& application)
{
    if (!application.name.isEmpty()) {
        return application.name;
    }
    return application.untranslatedName.isEmpty() ? application.id : application.untranslatedName;
}

// The executable file of a program: an absolute path as it is, else looked up on PATH.
QString findProgram(const QString& program)
{
    if (QDir::isAbsolutePath(program)) {
        const QFileInfo info(program);
        return info.isFile() && info.isExecutable() ? program : QString();
    }
    return QStandardPaths::findExecutable(program);
}

QString missingProgramError(const QString& program, const DesktopApplication& application)
{
    return QStringLiteral("The program \u201C%1\u201D of %2 cannot be found.").arg(program, displayName(application));
}

std::optional<QList<DesktopEntryExec::Argument>> arguments(const DesktopApplication& application, QString* error)
{
    if (application.exec.trimmed().isEmpty()) {
        *error = QStringLiteral("%1 has no command to start it.").arg(displayName(application));
        return std::nullopt;
    }
    QString detail;
    std::optional<QList<DesktopEntryExec::Argument>> split = DesktopEntryExec::split(application.exec, &detail);
    if (!split) {
        *error = QStringLiteral("The command of %1 cannot be read: %2.").arg(displayName(application), detail);
    }
    return split;
}

std::optional<QStringList> filledCommandLine(const DesktopApplication& application,
                                             const QList<DesktopEntryExec::Argument>& arguments,
                                             const QStringList& files, QString* error)
{
    if (!application.tryExec.isEmpty() && findProgram(application.tryExec).isEmpty()) {
        *error = missingProgramError(application.tryExec, application);
        return std::nullopt;
    }
    const DesktopEntryExec::Fields fields {files, application.icon, displayName(application), application.path};
    QString detail;
    std::optional<QStringList> command = DesktopEntryExec::expand(arguments, fields, &detail);
    if (!command) {
        *error = QStringLiteral("The command of %1 cannot be read: %2.").arg(displayName(application), detail);
        return std::nullopt;
    }
    if (command->isEmpty() || command->first().isEmpty()) {
        *error = QStringLiteral("The command of %1 names no program.").arg(displayName(application));
        return std::nullopt;
    }
    const QString program = findProgram(command->first());
    if (program.isEmpty()) {
        *error = missingProgramError(command->first(), application);
        return std::nullopt;
    }
    (*command)[0] = program;
    return command;
}

} // namespace

namespace DesktopApplicationLaunch {

std::optional<QStringList> commandLine(const DesktopApplication& application, const QStringList& files, QString* error)
{
    const std::optional<QList<DesktopEntryExec::Argument>> split = arguments(application, error);
    if (!split) {
        return std::nullopt;
    }
    return filledCommandLine(application, *split, files, error);
}

bool launch(const DesktopApplication& application, const QStringList& files, QString* error)
{
    const std::optional<QList<DesktopEntryExec::Argument>> split = arguments(application, error);
    if (!split) {
        return false;
    }
    const QString& folder = application.workingFolder;
    if (!folder.isEmpty() && !QFileInfo(folder).isDir()) {
        *error = QStringLiteral("The folder \u201C%1\u201D that %2 starts in does not exist.")
                     .arg(folder, displayName(application));
        return false;
    }
    // A command that takes one file at a time is started once for each file.
    QList<QStringList> fileSets {files};
    if (files.size() > 1 && DesktopEntryExec::takesOneFile(*split)) {
        fileSets.clear();
        for (const QString& file : files) {
            fileSets.append({file});
        }
    }
    // Every command line is checked before the first one is started.
    QList<QStringList> commands;
    for (const QStringList& fileSet : std::as_const(fileSets)) {
        std::optional<QStringList> command = filledCommandLine(application, *split, fileSet, error);
        if (!command) {
            return false;
        }
        commands.append(*command);
    }
    for (const QStringList& command : std::as_const(commands)) {
        QProcess process;
        process.setProgram(command.first());
        process.setArguments(command.mid(1));
        process.setWorkingDirectory(folder);
        if (!process.startDetached()) {
            *error = QStringLiteral("%1 could not be started: %2").arg(displayName(application), process.errorString());
            return false;
        }
    }
    return true;
}

} // namespace DesktopApplicationLaunch
