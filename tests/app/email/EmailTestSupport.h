#pragma once

#include "base/Log.h"
#include "support/TestData.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// Captures the application log for the lifetime of the object.
class LogCapture
{
public:
    LogCapture()
    {
        Log::setEchoToStandardError(false);
        Log::setLogFilePath(QString());
        Log::setSink([this](const QString& line) { m_lines.append(line); });
    }
    ~LogCapture() { Log::setSink({}); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const QStringList& lines() const { return m_lines; }
    bool contains(const QString& fragment) const
    {
        for (const QString& line : m_lines) {
            if (line.contains(fragment)) {
                return true;
            }
        }
        return false;
    }

private:
    QStringList m_lines;
};

inline QString emailDataPath(const QString& relative)
{
    return testDataPath("/email/") + relative;
}

inline QByteArray readEmailData(const QString& relative)
{
    QFile file(emailDataPath(relative));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << relative.toStdString();
    return file.readAll();
}

// Lets gtest print QStrings in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE
