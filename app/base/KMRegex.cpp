#include "KMRegex.h"

#include "base/Log.h"

#include <QHash>
#include <QMutex>

#include <limits>
#include <memory>
#include <unicode/regex.h>
#include <unicode/utypes.h>

namespace {

// A pattern compiled once, or the reason it does not compile. ICU patterns are immutable and may be
// shared between threads; each search makes its own matcher.
struct CompiledPattern
{
    std::unique_ptr<icu::RegexPattern> pattern;
    QString error;
};

// Patterns come from fixed tables; the bound only protects against a caller that builds patterns
// from data.
constexpr qsizetype MaximumCachedPatterns = 1024;

icu::UnicodeString aliasOf(const QString& text)
{
    // A read-only alias: no copy of the (possibly large) text is made.
    return icu::UnicodeString(false, reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()));
}

std::shared_ptr<const CompiledPattern> compile(const QString& source)
{
    static QMutex mutex;
    static QHash<QString, std::shared_ptr<const CompiledPattern>> cache;

    QMutexLocker locker(&mutex);
    if (const auto found = cache.constFind(source); found != cache.constEnd()) {
        return found.value();
    }
    auto compiled = std::make_shared<CompiledPattern>();
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError {};
    const icu::UnicodeString text(reinterpret_cast<const UChar*>(source.utf16()), int32_t(source.size()));
    compiled->pattern.reset(icu::RegexPattern::compile(text, 0, parseError, status));
    if (U_FAILURE(status)) {
        compiled->pattern.reset();
        compiled->error = QStringLiteral("%1 at offset %2 of \"%3\"")
                              .arg(QString::fromLatin1(u_errorName(status)))
                              .arg(parseError.offset)
                              .arg(source);
    }
    if (cache.size() >= MaximumCachedPatterns) {
        cache.clear();
    }
    cache.insert(source, compiled);
    return compiled;
}

// Called by ICU while it matches; a false answer stops the search with U_REGEX_STOPPED_BY_CALLER.
struct SearchClock
{
    QDeadlineTimer deadline;
    int findCountdown = 0;
};

UBool U_CALLCONV matchMayGoOn(const void* context, int32_t /*steps*/)
{
    return !static_cast<const SearchClock*>(context)->deadline.hasExpired();
}

UBool U_CALLCONV findMayGoOn(const void* context, int64_t /*index*/)
{
    // Called for every start position: look at the clock only now and then.
    auto* clock = static_cast<SearchClock*>(const_cast<void*>(context));
    if (--clock->findCountdown > 0) {
        return true;
    }
    clock->findCountdown = 4096;
    return !clock->deadline.hasExpired();
}

KMRegex::Match stoppedEarly(KMRegex::Status status, const QString& pattern)
{
    const QString reason = status == KMRegex::Status::OutOfTime ? QStringLiteral("time limit")
                                                                : QStringLiteral("backtracking memory limit");
    Log::write(
        QStringLiteral("KM_findWithRegEx: search stopped at the %1, treated as no match: %2").arg(reason, pattern));
    return {status, {}, -1, -1};
}

// ICU's own limit counts steps of its engine, whose length depends on the machine and the pattern;
// it backs up the clock with a generous bound (a step takes well over 10 microseconds).
int32_t engineStepLimit(const QDeadlineTimer& deadline)
{
    return int32_t(
        qBound(qint64(1), deadline.remainingTime() * 100 + 100, qint64(std::numeric_limits<int32_t>::max())));
}

KMRegex::Match runSearch(icu::RegexMatcher& matcher, const QString& text, const QString& pattern, SearchClock& clock)
{
    UErrorCode status = U_ZERO_ERROR;
    matcher.setTimeLimit(engineStepLimit(clock.deadline), status);
    matcher.setMatchCallback(matchMayGoOn, &clock, status);
    matcher.setFindProgressCallback(findMayGoOn, &clock, status);
    matcher.setStackLimit(KMRegex::StackLimitBytes, status);
    if (U_FAILURE(status)) {
        Log::write(QStringLiteral("Exeption Caught during KM_findWithRegEx: %1").arg(u_errorName(status)));
        return {KMRegex::Status::InvalidPattern, {}, -1, -1};
    }
    const bool found = matcher.find(status);
    if (status == U_REGEX_TIME_OUT || status == U_REGEX_STOPPED_BY_CALLER) {
        return stoppedEarly(KMRegex::Status::OutOfTime, pattern);
    }
    if (status == U_REGEX_STACK_OVERFLOW || status == U_MEMORY_ALLOCATION_ERROR) {
        return stoppedEarly(KMRegex::Status::OutOfMemory, pattern);
    }
    if (U_FAILURE(status)) {
        Log::write(QStringLiteral("Exeption Caught during KM_findWithRegEx: %1").arg(u_errorName(status)));
        return {KMRegex::Status::InvalidPattern, {}, -1, -1};
    }
    if (!found) {
        return {};
    }
    KMRegex::Match match;
    match.status = KMRegex::Status::Matched;
    const int32_t group = matcher.groupCount();
    const int32_t start = matcher.start(group, status);
    const int32_t end = matcher.end(group, status);
    if (start >= 0 && end >= start) {
        match.value = text.mid(start, end - start);
    }
    match.start = matcher.start(status);
    match.end = matcher.end(status);
    return match;
}

} // namespace

KMRegex::Match KMRegex::find(const QString& text, const QString& pattern, QDeadlineTimer deadline)
{
    const std::shared_ptr<const CompiledPattern> compiled = compile(pattern);
    if (!compiled->pattern) {
        Log::write(QStringLiteral("Exeption Caught during KM_findWithRegEx: %1").arg(compiled->error));
        return {Status::InvalidPattern, {}, -1, -1};
    }
    if (deadline.hasExpired()) {
        return stoppedEarly(Status::OutOfTime, pattern);
    }
    if (deadline.isForever() || deadline.remainingTime() > MaximumTimeLimit.count()) {
        deadline = QDeadlineTimer(MaximumTimeLimit);
    }
    const icu::UnicodeString input = aliasOf(text);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> matcher(compiled->pattern->matcher(input, status));
    if (U_FAILURE(status) || !matcher) {
        Log::write(QStringLiteral("Exeption Caught during KM_findWithRegEx: %1").arg(u_errorName(status)));
        return {Status::InvalidPattern, {}, -1, -1};
    }
    SearchClock clock {deadline, 0};
    return runSearch(*matcher, text, pattern, clock);
}

KMRegex::Match KMRegex::find(const QString& text, const QString& pattern)
{
    return find(text, pattern, QDeadlineTimer(DefaultTimeLimit));
}

bool KMRegex::isValidPattern(const QString& pattern, QString* error)
{
    const std::shared_ptr<const CompiledPattern> compiled = compile(pattern);
    if (error) {
        *error = compiled->error;
    }
    return compiled->pattern != nullptr;
}

std::optional<QString> KM_findWithRegEx(const QString& receiver, const QString& pattern)
{
    KMRegex::Match match = KMRegex::find(receiver, pattern);
    if (!match.matched()) {
        return std::nullopt;
    }
    return std::move(match.value);
}

bool isEmailAddress(const QString& receiver)
{
    return KM_findWithRegEx(receiver, QStringLiteral("(?i)^[A-Z0-9._%+-]+@[A-Z0-9.-]+\\.[A-Z]{2,4}$")).has_value();
}

bool containsHTML(const QString& receiver)
{
    return receiver.contains(QLatin1String("html"), Qt::CaseInsensitive);
}
