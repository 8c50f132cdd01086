#pragma once

#include "maintenance/LibraryCheckLocation.h"
#include "maintenance/LibraryCheckSnapshot.h"

class LibraryCheckReport;
struct LibraryCheckFinding;

// Turns what the snapshot of a readable store and the library's folders show into findings: one
// sentence each, naming the product's title and the stored file where there is one.
class LibraryCheckDescriber
{
public:
    LibraryCheckDescriber(const LibraryCheckLocation& location, const LibraryCheckSnapshot& snapshot);

    void describe(LibraryCheckReport& report, const QSet<QString>& attachmentNames,
                  const QSet<QString>& iconNames) const;

private:
    LibraryCheckFinding linkFinding(const LibraryCheckSnapshot::LinkProblem& problem) const;
    LibraryCheckFinding danglingFinding(const LibraryCheckSnapshot::LinkProblem& problem) const;
    LibraryCheckFinding mismatchFinding(const LibraryCheckSnapshot::LinkProblem& problem) const;
    LibraryCheckFinding recordFinding(const LibraryCheckSnapshot::RecordProblem& problem) const;
    LibraryCheckFinding fileFinding(const QString& message, LibraryCheckSnapshot::Key file) const;
    LibraryCheckFinding contentFinding(const QString& message, LibraryCheckSnapshot::Key content) const;
    LibraryCheckFinding iconFinding(const QString& message, LibraryCheckSnapshot::Key icon) const;
    static LibraryCheckFinding productFinding(const QString& message, const LibraryCheckSnapshot::Product* product);
    static QString titleOf(const LibraryCheckSnapshot::Product* product);
    QString contentPath(LibraryCheckSnapshot::Key content) const;
    QString iconPath(LibraryCheckSnapshot::Key icon) const;

    const LibraryCheckLocation& m_location;
    const LibraryCheckSnapshot& m_snapshot;
};
