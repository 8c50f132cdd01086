#include "InstalledApplication.h"

QString softwareSourceName(SoftwareSource source)
{
    switch (source) {
    case SoftwareSource::Deb:
        return QStringLiteral("deb");
    case SoftwareSource::Flatpak:
        return QStringLiteral("flatpak");
    case SoftwareSource::Snap:
        return QStringLiteral("snap");
    case SoftwareSource::AppImage:
        return QStringLiteral("appimage");
    case SoftwareSource::Bundle:
        return QStringLiteral("bundle");
    case SoftwareSource::Local:
        break;
    }
    return QStringLiteral("local");
}
