#include "ZREmailDateParser.h"

#include "base/AppInfo.h"

#include <QHash>
#include <QTimeZone>

#include <memory>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

namespace {

icu::UnicodeString toUnicode(const QString& text)
{
    return icu::UnicodeString(reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()));
}

// Formatters are costly to build and not safe to share between threads: each thread keeps its own.
const icu::SimpleDateFormat* formatter(const QString& pattern)
{
    thread_local QHash<QString, std::shared_ptr<icu::SimpleDateFormat>> cache;
    if (const auto found = cache.constFind(pattern); found != cache.constEnd()) {
        return found.value().get();
    }
    UErrorCode status = U_ZERO_ERROR;
    auto format = std::make_shared<icu::SimpleDateFormat>(toUnicode(pattern), icu::Locale("en_US_POSIX"), status);
    if (U_FAILURE(status)) {
        format.reset();
    } else {
        format->adoptTimeZone(icu::TimeZone::createTimeZone(icu::UnicodeString(u"UTC")));
        format->setLenient(false);
    }
    cache.insert(pattern, format);
    return format.get();
}

bool onlyCommentFollows(const QString& value, qsizetype end)
{
    return end >= value.size() || value.at(end).isSpace();
}

} // namespace

QStringList ZREmailDateParser::formats()
{
    return AppInfo::value(QStringLiteral("ZREmailDateFormats")).toStringList();
}

std::optional<QDateTime> ZREmailDateParser::parse(const QString& value)
{
    return parse(value, formats());
}

std::optional<QDateTime> ZREmailDateParser::parse(const QString& value, const QStringList& formats)
{
    const QString trimmed = value.trimmed();
    if (trimmed.isEmpty()) {
        return std::nullopt;
    }
    const icu::UnicodeString text = toUnicode(trimmed);
    for (const QString& pattern : formats) {
        const icu::SimpleDateFormat* format = formatter(pattern);
        if (!format) {
            continue;
        }
        icu::ParsePosition position(0);
        const UDate date = format->parse(text, position);
        if (position.getErrorIndex() >= 0 || position.getIndex() == 0
            || !onlyCommentFollows(trimmed, position.getIndex())) {
            continue;
        }
        return QDateTime::fromMSecsSinceEpoch(qint64(date), QTimeZone::utc());
    }
    return std::nullopt;
}
