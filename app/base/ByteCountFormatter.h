#pragma once

#include <QLocale>
#include <QString>
#include <QVariant>

// Shows byte counts as the interface does: "512 B", "1 KB", "1.50 KB", up to "TB".
class ByteCountFormatter
{
public:
    explicit ByteCountFormatter(const QLocale& locale = QLocale());

    // A text is answered unchanged; a number is shown with its unit; anything else gives an empty
    // text. The value is taken as a 32-bit float and divided by 1024 while it is at least 1024 and a
    // larger unit exists; two decimals are shown when its fractional part is more than 0.01, none
    // otherwise, with the locale's decimal separator.
    QString stringForObjectValue(const QVariant& value) const;
    QString stringFromByteCount(double bytes) const;

private:
    QLocale m_locale;
};
