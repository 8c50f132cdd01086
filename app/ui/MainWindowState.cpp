#include "MainWindowState.h"

#include "prefs/UserDefaults.h"

#include <QHeaderView>
#include <QMainWindow>
#include <QSplitter>
#include <QTabWidget>

const QString MainWindowState::GeometryKey = QStringLiteral("KMMainWindowGeometry");
const QString MainWindowState::SplitterKey = QStringLiteral("KMMainWindowSplitter");
const QString MainWindowState::ColumnsKey = QStringLiteral("KMMainWindowListColumns");
const QString MainWindowState::TabKey = QStringLiteral("KMMainWindowDetailsTab");

namespace {

// Qt's state blobs are kept as Base64 text, which every preference file format holds.
QString encoded(const QByteArray& state)
{
    return QString::fromLatin1(state.toBase64());
}

QByteArray decoded(const UserDefaults& defaults, const QString& key)
{
    return QByteArray::fromBase64(defaults.value(key).toString().toLatin1());
}

} // namespace

void MainWindowState::save(UserDefaults& defaults, const Parts& parts)
{
    defaults.setValue(GeometryKey, encoded(parts.window->saveGeometry()));
    defaults.setValue(SplitterKey, encoded(parts.splitter->saveState()));
    defaults.setValue(ColumnsKey, encoded(parts.header->saveState()));
    defaults.setValue(TabKey, parts.tabs->currentIndex());
}

bool MainWindowState::restore(const UserDefaults& defaults, const Parts& parts)
{
    const QByteArray geometry = decoded(defaults, GeometryKey);
    if (!geometry.isEmpty()) {
        parts.window->restoreGeometry(geometry);
    }
    const QByteArray splitter = decoded(defaults, SplitterKey);
    if (!splitter.isEmpty()) {
        parts.splitter->restoreState(splitter);
    }
    const QVariant tab = defaults.value(TabKey);
    if (tab.isValid() && tab.toInt() >= 0 && tab.toInt() < parts.tabs->count()) {
        parts.tabs->setCurrentIndex(tab.toInt());
    }
    const QByteArray columns = decoded(defaults, ColumnsKey);
    return !columns.isEmpty() && parts.header->restoreState(columns);
}
