#include "maintenance/LibraryCheckReport.h"

#include <algorithm>

LibraryCheckReport::LibraryCheckReport(LibraryCheckLocation location)
    : m_location(std::move(location))
{ }

int LibraryCheckReport::count(LibraryCheckFinding::Kind kind) const
{
    return int(std::count_if(m_findings.begin(), m_findings.end(),
                             [kind](const LibraryCheckFinding& finding) { return finding.kind == kind; }));
}
