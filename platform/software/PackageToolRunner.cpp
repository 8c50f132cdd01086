#include "PackageToolRunner.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

namespace PackageToolRunner {

bool isAvailable(const QString& program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}

std::optional<QByteArray> run(const QString& program, const QStringList& arguments, QString* error, int timeoutMs)
{
    const QString executable = QStandardPaths::findExecutable(program);
    if (executable.isEmpty()) {
        *error = QStringLiteral("%1 is not installed (not found on PATH)").arg(program);
        return std::nullopt;
    }
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    process.setStandardErrorFile(QProcess::nullDevice());
    process.setStandardInputFile(QProcess::nullDevice());
    QByteArray output;
    bool tooLarge = false;
    QObject::connect(&process, &QProcess::readyReadStandardOutput, [&] {
        output += process.readAllStandardOutput();
        if (output.size() > MaximumOutput && !tooLarge) {
            tooLarge = true;
            process.kill();
        }
    });
    process.start(executable, arguments, QIODevice::ReadOnly);
    if (!process.waitForStarted(timeoutMs)) {
        *error = QStringLiteral("%1 could not be started: %2").arg(program, process.errorString());
        return std::nullopt;
    }
    if (process.state() != QProcess::NotRunning && !process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        *error = QStringLiteral("%1 did not finish within %2 seconds").arg(program).arg(timeoutMs / 1000);
        return std::nullopt;
    }
    output += process.readAllStandardOutput();
    if (tooLarge) {
        *error = QStringLiteral("%1 printed more than %2 bytes").arg(program).arg(MaximumOutput);
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit) {
        *error = QStringLiteral("%1 crashed").arg(program);
        return std::nullopt;
    }
    return output;
}

} // namespace PackageToolRunner
