#include "Localization.h"

#include "Log.h"

#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

QHash<QString, QString> loadTable()
{
    QHash<QString, QString> table;
    QFile file(QStringLiteral(":/Localizable.json"));
    if (!file.open(QIODevice::ReadOnly)) {
        Log::write(QStringLiteral("ERROR: the localization table is missing."));
        return table;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (!document.isObject()) {
        Log::write(QStringLiteral("ERROR: the localization table is damaged: %1").arg(error.errorString()));
        return table;
    }
    const QJsonObject object = document.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.value().isString()) {
            table.insert(it.key(), it.value().toString());
        }
    }
    return table;
}

const QHash<QString, QString>& table()
{
    static const QHash<QString, QString> instance = loadTable();
    return instance;
}

} // namespace

QString localizedString(const QString& key)
{
    return table().value(key, key);
}

QString localizedFormat(const QString& key, const QStringList& arguments)
{
    return fillPlaceholders(localizedString(key), arguments);
}

QString fillPlaceholders(const QString& format, const QStringList& arguments)
{
    QString result;
    result.reserve(format.size());
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c != QLatin1Char('%') || i + 1 >= format.size() || !isAsciiDigit(format.at(i + 1))) {
            result += c;
            continue;
        }
        qsizetype end = i + 1;
        int number = 0;
        while (end < format.size() && isAsciiDigit(format.at(end)) && number < 100) {
            number = number * 10 + (format.at(end).unicode() - u'0');
            ++end;
        }
        if (number >= 1 && number <= arguments.size()) {
            result += arguments.at(number - 1);
        } else {
            result += QStringView(format).mid(i, end - i);
        }
        i = end - 1;
    }
    return result;
}
