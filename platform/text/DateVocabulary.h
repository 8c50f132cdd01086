#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringView>

class QLocale;

// The month and weekday names a written date may use: the English ones (full, abbreviated, and
// "Sept", "Tues", "Thur", "Thurs") and those of a locale (full and abbreviated, in running text
// and standing alone). Names are matched ignoring case and a trailing full stop.
class DateVocabulary
{
public:
    explicit DateVocabulary(const QLocale& locale);

    // 1-12, or 0 when the word names no month.
    int month(QStringView word) const;

    bool isWeekday(QStringView word) const;

    // A word as it is looked up: case-folded, without a trailing full stop.
    static QString normalized(QStringView word);

private:
    void addMonth(const QString& name, int month);
    void addWeekday(const QString& name);

    QHash<QString, int> m_months;
    QSet<QString> m_weekdays;
};
