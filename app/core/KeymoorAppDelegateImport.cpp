#include "KeymoorAppDelegate.h"

QStringList KeymoorAppDelegate::importKeymoorDataFiles(const QStringList& paths)
{
    return paths;
}

QStringList KeymoorAppDelegate::importMacHeist3DataFiles(const QStringList& paths)
{
    return paths;
}

void KeymoorAppDelegate::waitForFileImports() { }

ImportCounts KeymoorAppDelegate::takeImportCounts()
{
    const std::lock_guard locker(m_importCountsMutex);
    const ImportCounts counts = m_importCounts;
    m_importCounts = {};
    return counts;
}

void KeymoorAppDelegate::addImportCounts(const ImportCounts& counts)
{
    const std::lock_guard locker(m_importCountsMutex);
    m_importCounts += counts;
}
