#include "ForeignJsonDocument.h"

#include "base/Localization.h"

#include <QJsonDocument>
#include <QJsonParseError>

namespace {

QByteArray withoutByteOrderMark(const QByteArray& bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
}

// The deepest nesting of objects and arrays outside strings.
int nestingDepth(const QByteArray& bytes, int stopAbove)
{
    int depth = 0;
    int deepest = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : bytes) {
        if (inString) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            deepest = std::max(deepest, ++depth);
            if (deepest > stopAbove) {
                break;
            }
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return deepest;
}

} // namespace

bool ForeignJsonDocument::looksLikeObjectWithKey(const QByteArray& head, const char* key)
{
    const QByteArray text = withoutByteOrderMark(head).trimmed();
    return text.startsWith('{') && text.contains(QByteArray("\"") + key + "\"");
}

std::optional<QJsonObject> ForeignJsonDocument::parse(const QByteArray& bytes, const ForeignReadLimits& limits,
                                                      QString* error)
{
    const QByteArray text = withoutByteOrderMark(bytes);
    if (nestingDepth(text, limits.maximumDepth) > limits.maximumDepth) {
        *error = localizedFormat(QStringLiteral("ForeignImportTooDeepFormat"), {QString::number(limits.maximumDepth)});
        return std::nullopt;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error = localizedFormat(QStringLiteral("ForeignImportJsonErrorFormat"),
                                 {parseError.errorString(), QString::number(parseError.offset)});
        return std::nullopt;
    }
    if (!document.isObject()) {
        *error = localizedString(QStringLiteral("ForeignImportNotAnObject"));
        return std::nullopt;
    }
    return document.object();
}
