#pragma once

#include <QString>
#include <QStringList>

// Runs a program as a child process with its standard output thrown away, and measures it as a
// whole process: the wall-clock time from start to exit and the child's peak resident memory.
struct ChildRun
{
    bool ok = false; // started and exited with status 0
    double milliseconds = 0;
    long maxResidentKiB = 0;

    static ChildRun run(const QString& program, const QStringList& arguments);
    // The median time (and the largest peak memory) of `runs` runs; not ok if any run failed.
    static ChildRun median(const QString& program, const QStringList& arguments, int runs);
};
