#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "core/ApplicationSetup.h"
#include "core/Log.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }

    if (CommandLine::wantsCommandLine(arguments)) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Keymoor"));
        configureApplicationServices();
        // The log file keeps every line; the terminal shows only what the command reports, unless
        // KEYMOOR_VERBOSE is set.
        Log::setEchoToStandardError(qEnvironmentVariableIsSet("KEYMOOR_VERBOSE"));
        QTextStream out(stdout);
        QTextStream err(stderr);
        CliStreams streams {out, err};
        CommandLine commandLine;
        registerCommands(commandLine);
        return commandLine.run(arguments, streams);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Keymoor"));
    QApplication::setApplicationDisplayName(QStringLiteral("Keymoor"));
    MainWindow window;
    window.show();
    return app.exec();
}
