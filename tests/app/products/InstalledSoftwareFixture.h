#pragma once

#include "support/TestData.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// For one test: the XDG data folders are the software fixture (applications, metainfo, icons) and
// its stub programs (dpkg-query, the Marker entry's program) come first on PATH. The data home stays
// where the test put it, so the library lives apart from the fixture.
class InstalledSoftwareFixture
{
public:
    InstalledSoftwareFixture()
    {
        set("XDG_DATA_DIRS", root());
        set("PATH", root() + QStringLiteral("/bin:") + qEnvironmentVariable("PATH"));
        set("KEYMOOR_APP_PATH", QString());
    }
    ~InstalledSoftwareFixture()
    {
        for (const auto& [name, value] : std::as_const(m_saved)) {
            if (value.isNull()) {
                qunsetenv(name.constData());
            } else {
                qputenv(name.constData(), value);
            }
        }
    }
    InstalledSoftwareFixture(const InstalledSoftwareFixture&) = delete;
    InstalledSoftwareFixture& operator=(const InstalledSoftwareFixture&) = delete;

    static QString root() { return testDataPath("/app/software"); }
    static QString entry(const QString& relativePath)
    {
        return root() + QStringLiteral("/applications/") + relativePath;
    }

private:
    void set(const char* name, const QString& value)
    {
        m_saved.append({QByteArray(name), qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray()});
        if (value.isEmpty()) {
            qunsetenv(name);
        } else {
            qputenv(name, value.toUtf8());
        }
    }

    QList<QPair<QByteArray, QByteArray>> m_saved;
};
