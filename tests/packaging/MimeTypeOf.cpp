// Prints, one a line, the MIME type the shared MIME database gives each file named on the command
// line, or for `--known TYPE` "known" or "unknown". Run as a child process with XDG_DATA_DIRS set,
// since a process reads the database's folders once.
#include <QCoreApplication>
#include <QMimeDatabase>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    QTextStream out(stdout);
    const QMimeDatabase database;
    while (!arguments.isEmpty()) {
        const QString argument = arguments.takeFirst();
        if (argument == QLatin1String("--known") && !arguments.isEmpty()) {
            out << (database.mimeTypeForName(arguments.takeFirst()).isValid() ? "known" : "unknown") << '\n';
        } else {
            out << database.mimeTypeForFile(argument).name() << '\n';
        }
    }
    return 0;
}
