#include "MailStoreLocations.h"

#include "ThunderbirdProfilesIni.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace MailStoreLocations {

QStringList thunderbirdProfileRoots()
{
    const QDir home(QDir::homePath());
    const QString places[] = {
        QStringLiteral(".thunderbird"),
        QStringLiteral(".var/app/org.mozilla.Thunderbird/.thunderbird"),
        QStringLiteral("snap/thunderbird/common/.thunderbird"),
    };
    QStringList roots;
    for (const QString& place : places) {
        const QString path = home.filePath(place);
        if (QFileInfo(path).isDir()) {
            roots.append(path);
        }
    }
    return roots;
}

QString defaultThunderbirdProfile(const QString& profilesIni)
{
    const std::optional<ThunderbirdProfilesIni> ini = ThunderbirdProfilesIni::read(profilesIni);
    if (!ini) {
        return QString();
    }
    for (const QString& candidate : ini->candidateProfiles()) {
        if (QFileInfo(candidate).isDir()) {
            return candidate;
        }
    }
    return QString();
}

QString defaultThunderbirdProfile()
{
    for (const QString& root : thunderbirdProfileRoots()) {
        const QString profile = defaultThunderbirdProfile(QDir(root).filePath(QStringLiteral("profiles.ini")));
        if (!profile.isEmpty()) {
            return profile;
        }
    }
    return QString();
}

QString evolutionLocalStore()
{
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty()) {
        return QString();
    }
    const QString path = QDir(dataHome).filePath(QStringLiteral("evolution/mail/local"));
    return QFileInfo(path).isDir() ? path : QString();
}

} // namespace MailStoreLocations
