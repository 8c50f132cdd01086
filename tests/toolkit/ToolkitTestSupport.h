#pragma once

#include "support/TestData.h"

#include <QDir>
#include <QString>
#include <QStringList>

#include <ostream>

// Readable failure messages for Qt values.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* out)
{
    *out << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}

// A fixture of tests/data/toolkit.
inline QString toolkitFixture(const QString& relativePath)
{
    return QDir(testDataPath("/toolkit")).filePath(relativePath);
}
