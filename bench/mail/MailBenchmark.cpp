// Reading a large mbox: generates one of 10,000 messages (about 100 MB, 5% purchase mails) in a
// temporary folder, then times MailStoreReader::read over it alone, with every message parsed, and
// with every message parsed and scanned for a serial number, and, when a keymoor executable is given, "keymoor mail
// scan FILE
// --json" as a whole process. Prints messages per second and peak memory.
//   mail_benchmark [--messages N] [--keymoor PATH]
#include "ChildRun.h"
#include "GeneratedMbox.h"
#include "base/Log.h"
#include "email/MailStoreReader.h"
#include "email/ZREmail.h"
#include "email/ZRRegistrationInfoScanner.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Measure
{
    double milliseconds = 0;
    long maxResidentKiB = 0;
    qint64 messages = 0;
    qint64 found = 0;
    bool ok = false;
};

// Runs the work in a child process, so its peak memory is its own and not the generator's.
Measure inChild(const std::function<Measure()>& work)
{
    int pipe[2];
    if (::pipe(pipe) != 0) {
        return {};
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipe[0]);
        const Measure measure = work();
        const ssize_t written = ::write(pipe[1], &measure, sizeof measure);
        ::_exit(written == ssize_t(sizeof measure) ? 0 : 1);
    }
    ::close(pipe[1]);
    Measure measure;
    const bool received = pid > 0 && ::read(pipe[0], &measure, sizeof measure) == ssize_t(sizeof measure);
    ::close(pipe[0]);
    int status = 0;
    rusage usage {};
    if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid || !received) {
        return {};
    }
    measure.maxResidentKiB = usage.ru_maxrss;
    measure.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return measure;
}

Measure readOnly(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    Measure measure;
    const MailStoreReader::Counts counts = MailStoreReader().read(path, [](const MailStoreMessage&) { return true; });
    measure.milliseconds = double(timer.nsecsElapsed()) / 1e6;
    measure.messages = counts.messages;
    measure.found = counts.unreadable;
    return measure;
}

Measure readAndParse(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    Measure measure;
    const MailStoreReader::Counts counts = MailStoreReader().read(path, [&](const MailStoreMessage& message) {
        const std::optional<ZREmail> email = ZREmail::emailFromData(message.bytes, ZRTextEncoding::UTF8);
        if (email && email->textContent()) {
            ++measure.found;
        }
        return true;
    });
    measure.milliseconds = double(timer.nsecsElapsed()) / 1e6;
    measure.messages = counts.messages;
    return measure;
}

Measure readAndScan(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    Measure measure;
    const MailStoreReader::Counts counts = MailStoreReader().read(path, [&](const MailStoreMessage& message) {
        const std::optional<ZREmail> email = ZREmail::emailFromData(message.bytes, ZRTextEncoding::UTF8);
        if (email && ZRRegistrationInfoScanner::scanEmail(*email)) {
            ++measure.found;
        }
        return true;
    });
    measure.milliseconds = double(timer.nsecsElapsed()) / 1e6;
    measure.messages = counts.messages;
    return measure;
}

void print(const char* what, const Measure& measure, qint64 messages, const char* found)
{
    if (!measure.ok) {
        std::printf("  %-34s failed\n", what);
        return;
    }
    std::printf("  %-34s %9.1f ms  %9.0f messages/s  peak %7.1f MB", what, measure.milliseconds,
                double(messages) * 1000.0 / measure.milliseconds, double(measure.maxResidentKiB) / 1024.0);
    if (found) {
        std::printf("  (%lld %s)", static_cast<long long>(measure.found), found);
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Log::setEchoToStandardError(false);
    Log::setLogFilePath(QString());
    qint64 messageCount = 10000;
    QString keymoor;
    const QStringList arguments = app.arguments().mid(1);
    for (qsizetype i = 0; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == QLatin1String("--messages")) {
            messageCount = arguments[i + 1].toLongLong();
        } else if (arguments[i] == QLatin1String("--keymoor")) {
            keymoor = arguments[i + 1];
        }
    }

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("generated.mbox"));
    const GeneratedMbox mbox = GeneratedMbox::write(path, messageCount);
    if (mbox.messages != messageCount || messageCount <= 0) {
        std::fprintf(stderr, "the mbox could not be written in %s\n", qPrintable(folder.path()));
        return 1;
    }
    std::printf("mbox of %lld messages (%lld purchase mails), %.1f MB\n", static_cast<long long>(mbox.messages),
                static_cast<long long>(mbox.purchases), double(mbox.bytes) / (1024.0 * 1024.0));

    const Measure read = inChild([&] { return readOnly(path); });
    print("MailStoreReader::read", read, mbox.messages, "unreadable");
    print("read and parse (text of each)", inChild([&] { return readAndParse(path); }), mbox.messages, "with text");
    const Measure scanned = inChild([&] { return readAndScan(path); });
    print("read, parse and scan", scanned, mbox.messages, "with a serial");
    bool ok = read.ok && read.messages == mbox.messages && scanned.ok;

    if (!keymoor.isEmpty()) {
        const ChildRun run
            = ChildRun::run(keymoor, {QStringLiteral("mail"), QStringLiteral("scan"), path, QStringLiteral("--json")});
        Measure whole;
        whole.ok = run.ok;
        whole.milliseconds = run.milliseconds;
        whole.maxResidentKiB = run.maxResidentKiB;
        print("keymoor mail scan --json", whole, mbox.messages, nullptr);
        ok = ok && run.ok;
    }
    return ok ? 0 : 1;
}
