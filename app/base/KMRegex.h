#pragma once

#include <QDeadlineTimer>
#include <QString>

#include <chrono>
#include <optional>

// Regular-expression find over ICU patterns. Every search runs with a wall-clock time limit and a
// bound on the backtracking memory, so no text can make a pattern hang the program: a search that
// runs out counts as no match and is logged. Compiled patterns are cached for the life of the
// process (thread-safe), so repeated searches with the same pattern compile it once.
class KMRegex
{
public:
    enum class Status {
        Matched,
        NoMatch,
        InvalidPattern,
        OutOfTime, // the time limit or the deadline passed
        OutOfMemory, // the backtracking stack limit was reached
    };

    struct Match
    {
        Status status = Status::NoMatch;
        QString value; // the last capture group (the whole match without groups); empty if the group did not take part
        qsizetype start = -1; // whole match, in UTF-16 units of the text
        qsizetype end = -1;

        bool matched() const { return status == Status::Matched; }
    };

    // Limit of one search when the caller gives none, and the longest any search may run.
    static constexpr std::chrono::milliseconds DefaultTimeLimit {250};
    static constexpr std::chrono::milliseconds MaximumTimeLimit {10000};
    // Memory the matcher may use for backtracking.
    static constexpr int StackLimitBytes = 8 * 1024 * 1024;

    // The first match of `pattern` in `text`, stopping when `deadline` passes (at the latest after
    // MaximumTimeLimit).
    static Match find(const QString& text, const QString& pattern, QDeadlineTimer deadline);
    static Match find(const QString& text, const QString& pattern);

    // Whether the pattern compiles; `error` receives ICU's reason when it does not.
    static bool isValidPattern(const QString& pattern, QString* error = nullptr);
};

// The text of the last capture group of the first match of `pattern` in `receiver` (the whole match
// when the pattern has no group; an empty text when that group did not take part), or nothing when
// there is no match, the pattern is invalid (logged) or the search ran out of time (logged).
std::optional<QString> KM_findWithRegEx(const QString& receiver, const QString& pattern);

// Whether the whole receiver is one e-mail address (letters of either case; top-level domain of 2-4 letters).
bool isEmailAddress(const QString& receiver);

// Whether the receiver contains "html", ignoring case.
bool containsHTML(const QString& receiver);
