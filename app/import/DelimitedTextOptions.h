#pragma once

#include <QString>

// How a delimited text is cut into rows and fields.
struct DelimitedTextOptions
{
    QString recordDelimiter = QStringLiteral("\n");
    QString fieldDelimiter = QStringLiteral(",");
    QString quote; // empty: no quoting
    bool hasHeaderRow = false;

    // The delimiter a name stands for ("Comma", "Tab", "Semicolon", "Colon", "Return", ignoring
    // case); empty for any other name.
    static QString delimiterForKey(const QString& name);
    // The quote a name stands for ("Double Quote", "Single Quote", ignoring case); empty for the
    // empty name and any other.
    static QString quotesForKey(const QString& name);
};
