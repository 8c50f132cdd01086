#pragma once

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class QTextStream;

// What a command was given, after CommandOptions parsed it: the options that were set with their
// values, and the positional arguments in order.
class CommandArguments
{
public:
    // `values` has an entry for every option that was given (empty for a flag).
    CommandArguments(QString usage, QHash<QString, QStringList> values, QStringList positional);

    bool isSet(const QString& option) const;
    // The option's last value (a repeated option overrides the earlier ones); empty when not given.
    QString value(const QString& option) const;
    // Every value of a repeated option, in order.
    QStringList values(const QString& option) const;

    const QStringList& positional() const { return m_positional; }
    // The positional arguments that are no `key=value` assignment.
    QStringList plainPositional() const;
    // The positional arguments of the form `key=value`, split at the first `=`, in order.
    QList<QPair<QString, QString>> assignments() const;

    // Writes the usage line of the command to `err` and answers the exit status of a usage error.
    int usageError(QTextStream& err) const;

private:
    QString m_usage;
    QHash<QString, QStringList> m_values;
    QStringList m_positional;
};
