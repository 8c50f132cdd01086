#include "AppStreamCatalogue.h"

#include "AppStreamReader.h"
#include "DesktopEntryLog.h"

#include <QDir>

namespace {

const QLatin1String DesktopSuffix(".desktop");

QString withoutDesktopSuffix(const QString& id)
{
    return id.endsWith(DesktopSuffix) ? id.chopped(DesktopSuffix.size()) : id;
}

} // namespace

AppStreamCatalogue::AppStreamCatalogue(const QStringList& metainfoFolders)
    : m_folders(metainfoFolders)
{ }

std::optional<AppStreamComponent> AppStreamCatalogue::componentForDesktopId(const QString& desktopId)
{
    load();
    const QString id = withoutDesktopSuffix(desktopId.trimmed());
    if (id.isEmpty()) {
        return std::nullopt;
    }
    for (const QHash<QString, qsizetype>* index : {&m_byLaunchable, &m_byId}) {
        const auto found = index->constFind(id);
        if (found != index->constEnd()) {
            return m_components.at(found.value());
        }
    }
    return std::nullopt;
}

QList<AppStreamComponent> AppStreamCatalogue::components()
{
    load();
    return m_components;
}

void AppStreamCatalogue::load()
{
    if (m_loaded) {
        return;
    }
    m_loaded = true;
    const QStringList patterns {QStringLiteral("*.metainfo.xml"), QStringLiteral("*.appdata.xml")};
    for (const QString& folder : m_folders) {
        const QDir dir(folder);
        const QStringList names = dir.entryList(patterns, QDir::Files | QDir::Readable, QDir::Name);
        for (const QString& name : names) {
            QString error;
            std::optional<AppStreamComponent> component = AppStreamReader::readFile(dir.filePath(name), &error);
            if (!component) {
                qCWarning(desktopEntryLog).noquote()
                    << QStringLiteral("Skipped the metainfo %1: %2").arg(dir.filePath(name), error);
                continue;
            }
            add(std::move(*component));
        }
    }
}

// Component IDs and launchables are indexed without ".desktop", so "northwind.desktop" (a legacy
// ID) and "org.example.Northwind" (a launchable "org.example.Northwind.desktop") are found alike.
void AppStreamCatalogue::add(AppStreamComponent component)
{
    const QString id = withoutDesktopSuffix(component.id);
    if (id.isEmpty() || m_byId.contains(id)) {
        return;
    }
    const qsizetype index = m_components.size();
    m_byId.insert(id, index);
    for (const QString& desktopId : std::as_const(component.desktopIds)) {
        const QString launchable = withoutDesktopSuffix(desktopId);
        if (!m_byLaunchable.contains(launchable)) {
            m_byLaunchable.insert(launchable, index);
        }
    }
    m_components.append(std::move(component));
}
