#include "ChildRun.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

ChildRun ChildRun::run(const QString& program, const QStringList& arguments)
{
    std::vector<QByteArray> words {QFile::encodeName(program)};
    for (const QString& argument : arguments) {
        words.push_back(argument.toLocal8Bit());
    }
    std::vector<char*> argv;
    for (QByteArray& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    ChildRun result;
    QElapsedTimer timer;
    timer.start();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    if (pid < 0) {
        return result;
    }
    int status = 0;
    rusage usage {};
    if (::wait4(pid, &status, 0, &usage) != pid) {
        return result;
    }
    result.milliseconds = double(timer.nsecsElapsed()) / 1e6;
    result.maxResidentKiB = usage.ru_maxrss;
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

ChildRun ChildRun::median(const QString& program, const QStringList& arguments, int runs)
{
    std::vector<double> times;
    ChildRun result;
    result.ok = true;
    for (int i = 0; i < runs; ++i) {
        const ChildRun one = run(program, arguments);
        result.ok = result.ok && one.ok;
        result.maxResidentKiB = std::max(result.maxResidentKiB, one.maxResidentKiB);
        times.push_back(one.milliseconds);
    }
    std::sort(times.begin(), times.end());
    result.milliseconds = times.empty() ? 0 : times[times.size() / 2];
    return result;
}
