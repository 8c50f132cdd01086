#pragma once

#include <QString>

#include <functional>

namespace Persistence {

// Where the persistence layer reports problems it cannot return to a caller (a lazily loaded
// value that is gone, a value of the wrong type given to a setter). The application points it at
// its log; by default the lines go to qWarning.
using DiagnosticHandler = std::function<void(const QString& line)>;

void setDiagnosticHandler(DiagnosticHandler handler);
void diagnostic(const QString& line);

} // namespace Persistence
