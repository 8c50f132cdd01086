#pragma once

#include <QString>
#include <QStringView>

// Walks a text from a current position. Before each scanning step it skips white space and line
// breaks at the position. Scanning up to a string takes everything up to the next occurrence of that
// string (or to the end) and fails when it took nothing; the string itself is not consumed. Scanning
// a string matches it exactly (case-sensitively) and consumes it. A step that fails leaves the
// position and the output variable as they were.
class ZRTextScanner
{
public:
    explicit ZRTextScanner(QString text);

    bool scanUpToString(QStringView stop, QString* into = nullptr);
    bool scanString(QStringView string);
    // Takes characters until one of `characters` (or the end); fails when it took nothing.
    bool scanUpToCharactersFromSet(QStringView characters, QString* into = nullptr);
    // Consumes a run of the given characters; fails when there is none.
    bool scanCharactersFromSet(QStringView characters);

    qsizetype location() const { return m_location; }
    void setLocation(qsizetype location);
    // True when only skipped characters remain.
    bool isAtEnd() const;
    const QString& text() const { return m_text; }

    // White space and line breaks, the characters skipped before each step.
    static bool isSkipped(QChar character);

private:
    qsizetype skipped() const;

    QString m_text;
    qsizetype m_location = 0;
};
