#include "DelimitedTextOptions.h"

namespace {

bool is(const QString& name, const char* key)
{
    return name.compare(QLatin1String(key), Qt::CaseInsensitive) == 0;
}

} // namespace

QString DelimitedTextOptions::delimiterForKey(const QString& name)
{
    if (is(name, "Comma")) {
        return QStringLiteral(",");
    }
    if (is(name, "Tab")) {
        return QStringLiteral("\t");
    }
    if (is(name, "Semicolon")) {
        return QStringLiteral(";");
    }
    if (is(name, "Colon")) {
        return QStringLiteral(":");
    }
    if (is(name, "Return")) {
        return QStringLiteral("\n");
    }
    return QString();
}

QString DelimitedTextOptions::quotesForKey(const QString& name)
{
    if (is(name, "Double Quote")) {
        return QStringLiteral("\"");
    }
    if (is(name, "Single Quote")) {
        return QStringLiteral("'");
    }
    return QString();
}
