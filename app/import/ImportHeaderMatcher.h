#pragma once

#include <QString>
#include <QStringList>

// Reads a text file's header row as names of catalogue fields, so that columns map themselves:
// "Title" or "Product Name" goes to the title, "Serial" or "Licence Key" to the serial number,
// "Developer" or "Vendor" to the publisher, and every label the delimited export writes in a header
// line to its own field, so an exported file imports again without choosing a single column.
// Names are compared ignoring case, spaces, quotes and punctuation ("E-mail" is "email").
class ImportHeaderMatcher
{
public:
    // A name reduced to lower-case letters and digits: "\"Serial No.\"" -> "serialno".
    static QString normalised(const QString& name);
    // The key path of the field a header names; empty when it names none.
    static QString keyPathForHeader(const QString& header);
    // One key path per header, empty for a column naming no field. A field named by several
    // columns goes to the first of them only.
    static QStringList keyPathsForHeaders(const QStringList& headers);
};
