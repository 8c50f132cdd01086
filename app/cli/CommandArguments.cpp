#include "CommandArguments.h"

#include <QTextStream>

CommandArguments::CommandArguments(QString usage, QHash<QString, QStringList> values, QStringList positional)
    : m_usage(std::move(usage))
    , m_values(std::move(values))
    , m_positional(std::move(positional))
{ }

bool CommandArguments::isSet(const QString& option) const
{
    return m_values.contains(option);
}

QString CommandArguments::value(const QString& option) const
{
    const QStringList given = m_values.value(option);
    return given.isEmpty() ? QString() : given.last();
}

QStringList CommandArguments::values(const QString& option) const
{
    return m_values.value(option);
}

QStringList CommandArguments::plainPositional() const
{
    QStringList plain;
    for (const QString& argument : m_positional) {
        if (!argument.contains(u'=')) {
            plain.append(argument);
        }
    }
    return plain;
}

QList<QPair<QString, QString>> CommandArguments::assignments() const
{
    QList<QPair<QString, QString>> assignments;
    for (const QString& argument : m_positional) {
        if (argument.contains(u'=')) {
            assignments.append({argument.section(u'=', 0, 0), argument.section(u'=', 1)});
        }
    }
    return assignments;
}

int CommandArguments::usageError(QTextStream& err) const
{
    err << "Usage: " << m_usage << Qt::endl;
    return 2;
}
