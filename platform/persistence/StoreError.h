#pragma once

#include <QString>

namespace Persistence {

// Why a persistence operation failed: a code for callers that branch, a one-line description for the
// log and the person, and the technical reason behind it (an SQLite message, a parse position).
struct StoreError
{
    enum class Code {
        None,
        InvalidArgument,
        ModelInvalid,
        FileNotFound,
        NotAStore,
        StoreCorrupt,
        ModelMismatch,
        NewerModel,
        IoError,
        SqliteError,
        ValidationFailed,
        ObjectNotFound,
    };

    Code code = Code::None;
    QString description;
    QString failureReason;

    bool isError() const { return code != Code::None; }
    QString toString() const
    {
        return failureReason.isEmpty() ? description : description + QStringLiteral(" (") + failureReason + u')';
    }
};

// Fills *error when the caller asked for it; answers false so failures read `return fail(...)`.
inline bool setError(StoreError* error, StoreError::Code code, const QString& description,
                     const QString& reason = QString())
{
    if (error) {
        *error = StoreError {code, description, reason};
    }
    return false;
}

} // namespace Persistence
