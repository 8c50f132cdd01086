#include "base/AppInfo.h"
#include "base/LibraryPaths.h"
#include "base/Log.h"
#include "cli/CommandCompletion.h"
#include "cli/CommandLine.h"
#include "cli/CommandManPage.h"
#include "cli/Commands.h"
#include "core/ApplicationSetup.h"
#include "core/KeymoorAppDelegate.h"
#include "maintenance/ZRDataMigrator.h"
#include "ui/ApplicationInstanceChannel.h"
#include "ui/MailLicenceCommands.h"
#include "ui/MainWindow.h"
#include "ui/MigrationProgressSheet.h"
#include "ui/QtUserInterface.h"
#include "ui/WheelGuard.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QMessageBox>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

// The desktop entry's actions: each opens the window (or brings the running one forward) and starts
// one command there. A running window receives the option itself through the instance channel, where
// it cannot be taken for a file, since files are handed over as absolute paths.
const QStringList& windowActions()
{
    static const QStringList actions {QStringLiteral("--new-product"), QStringLiteral("--discover-software"),
                                      QStringLiteral("--find-licences-in-mail")};
    return actions;
}

void performWindowAction(MainWindow& window, const QString& action)
{
    if (action == QLatin1String("--new-product")) {
        window.addProduct();
    } else if (action == QLatin1String("--discover-software")) {
        window.showDiscoverSoftwareSheet();
    } else if (action == QLatin1String("--find-licences-in-mail")) {
        window.mailLicenceCommands()->showSheet();
    }
}

void presentFolderProblemOnTerminal(const FolderProblem& problem)
{
    QTextStream(stderr) << "keymoor: error: " << problem.title << ": " << problem.reason << Qt::endl;
}

void presentFolderProblemInAlert(const FolderProblem& problem)
{
    presentFolderProblemOnTerminal(problem);
    if (QThread::currentThread() != QCoreApplication::instance()->thread()) {
        return; // alerts belong to the main thread; the terminal line has said it
    }
    QMessageBox alert(QMessageBox::Critical, problem.title, problem.title, QMessageBox::Ok);
    alert.setInformativeText(problem.message + QStringLiteral("\n\n") + problem.reason);
    alert.exec();
}

// `filesToOpen` are handed to the controller once the window is shown, as the desktop's "open with"
// hands them over; `action` (one of windowActions(), or empty) is started once the window is shown.
int runGui(int argc, char* argv[], const QStringList& filesToOpen, const QString& action)
{
    QApplication app(argc, argv);
    WheelGuard::install();
    QApplication::setApplicationName(QStringLiteral("Keymoor"));
    QApplication::setApplicationDisplayName(QStringLiteral("Keymoor"));
    // Names the desktop entry: the Wayland application ID, and what docks match the window with.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.keymoor.Keymoor"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("org.keymoor.Keymoor"), QIcon(QStringLiteral(":/Keymoor.png"))));
    if (!checkApplicationFolders(presentFolderProblemInAlert)) {
        return 1;
    }
    configureApplicationServices();

    // A Keymoor window already open on this library takes the files (or just comes forward).
    const QString channelName = ApplicationInstanceChannel::nameForLibrary(LibraryPaths::libraryBundlePath());
    if (ApplicationInstanceChannel::deliver(channelName, action.isEmpty() ? filesToOpen : QStringList {action})) {
        return 0;
    }

    // The interface exists before the window: opening the library may have to tell the person why
    // it cannot be opened. The window then adopts it.
    QtUserInterface userInterface(nullptr);
    KeymoorAppDelegate controller(&userInterface);
    // An upgrade of an older library shows its progress in a window of its own before the main
    // window exists; a failed restore later quits the application.
    MigrationProgressSheet upgradeWindow(nullptr);
    controller.dataMigrator()->setProgress(&upgradeWindow);
    QObject::connect(&controller, &KeymoorAppDelegate::terminationRequested, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    controller.initializeDefaultData();
    controller.dataMigrator()->setProgress(nullptr);

    // Without a library (held by another Keymoor, or of another version) the window still opens,
    // disabled, with the reason in its status bar; quitting then saves nothing.
    MainWindow window(&controller);
    window.show();
    window.selectFirstProduct();
    controller.applicationDidFinishLaunching();
    if (!filesToOpen.isEmpty()) {
        QTimer::singleShot(0, &controller, [&controller, filesToOpen] { controller.openFiles(filesToOpen); });
    }
    if (!action.isEmpty() && controller.managedObjectContext()) {
        QTimer::singleShot(0, &window, [&window, action] { performWindowAction(window, action); });
    }
    // Files opened while this window runs come through the channel (only while it holds the library).
    ApplicationInstanceChannel channel;
    if (controller.managedObjectContext()) {
        channel.listen(channelName);
        QObject::connect(&channel, &ApplicationInstanceChannel::filesReceived, &window,
                         [&controller, &window](const QStringList& paths) {
                             window.showNormal();
                             window.raise();
                             window.activateWindow();
                             if (paths.size() == 1 && windowActions().contains(paths.first())) {
                                 performWindowAction(window, paths.first());
                             } else if (!paths.isEmpty()) {
                                 controller.openFiles(paths);
                             }
                         });
    }
    return app.exec();
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }

    CommandLine commandLine;
    registerCommands(commandLine);
    // The manual page and the shell completion written at build time; they need no library.
    if (arguments == QStringList {QStringLiteral("--help-man")}) {
        QTextStream(stdout) << CommandManPage::text(commandLine, AppInfo::shortVersion());
        return 0;
    }
    if (arguments == QStringList {QStringLiteral("--help-completion")}) {
        QTextStream(stdout) << CommandCompletion::bashScript(commandLine);
        return 0;
    }
    if (arguments.size() == 1 && windowActions().contains(arguments.first())) {
        return runGui(argc, argv, {}, arguments.first());
    }
    if (commandLine.wantsCommandLine(arguments)) {
        // Commands that lay out pages get a graphics application on the offscreen platform, so they
        // run the same with or without a display.
        std::unique_ptr<QCoreApplication> app;
        if (commandLine.needsGuiApplication(arguments)) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            app = std::make_unique<QGuiApplication>(argc, argv);
        } else {
            app = std::make_unique<QCoreApplication>(argc, argv);
        }
        QCoreApplication::setApplicationName(QStringLiteral("Keymoor"));
        if (!checkApplicationFolders(presentFolderProblemOnTerminal)) {
            return 1;
        }
        configureApplicationServices();
        // The log file keeps every line; the terminal shows only what the command reports, unless
        // KEYMOOR_VERBOSE is set.
        Log::setEchoToStandardError(qEnvironmentVariableIsSet("KEYMOOR_VERBOSE"));
        QTextStream out(stdout);
        QTextStream err(stderr);
        CliStreams streams {out, err};
        return commandLine.run(arguments, streams);
    }
    QStringList filesToOpen;
    for (const QString& argument : std::as_const(arguments)) {
        filesToOpen.append(QFileInfo(argument).absoluteFilePath());
    }
    return runGui(argc, argv, filesToOpen, {});
}
