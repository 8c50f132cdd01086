#include "DiscoveredSoftwareModel.h"

#include "base/Localization.h"

#include <QApplication>
#include <QImageReader>
#include <QPixmap>
#include <QStyle>

namespace {

// The icon file read at the size of a row; an empty icon when it is no image.
QIcon iconFromFile(const QString& path)
{
    if (path.isEmpty()) {
        return {};
    }
    QImageReader reader(path);
    const QSize size = reader.size();
    if (size.isValid()
        && (size.width() > DiscoveredSoftwareModel::IconSize || size.height() > DiscoveredSoftwareModel::IconSize)) {
        reader.setScaledSize(
            size.scaled(DiscoveredSoftwareModel::IconSize, DiscoveredSoftwareModel::IconSize, Qt::KeepAspectRatio));
    } else if (!size.isValid()) {
        // A scalable image reports no size of its own.
        reader.setScaledSize(QSize(DiscoveredSoftwareModel::IconSize, DiscoveredSoftwareModel::IconSize));
    }
    const QImage image = reader.read();
    return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}

QIcon fallbackIcon()
{
    return QIcon::fromTheme(QStringLiteral("application-x-executable"),
                            QApplication::style()->standardIcon(QStyle::SP_DesktopIcon));
}

} // namespace

DiscoveredSoftwareModel::DiscoveredSoftwareModel(QObject* parent)
    : QAbstractTableModel(parent)
{ }

DiscoveredSoftwareModel::~DiscoveredSoftwareModel() = default;

void DiscoveredSoftwareModel::setApplications(const QList<InstalledApplication>& applications)
{
    beginResetModel();
    m_applications = applications;
    m_checked = QList<bool>(applications.size(), false);
    m_icons.clear();
    const bool hadChecked = m_checkedCount > 0;
    m_checkedCount = 0;
    endResetModel();
    if (hadChecked) {
        emit checkedCountChanged(0);
    }
}

int DiscoveredSoftwareModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_applications.size());
}

int DiscoveredSoftwareModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DiscoveredSoftwareModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_applications.size()) {
        return {};
    }
    const InstalledApplication& application = m_applications.at(index.row());
    if (role == FilterTextRole) {
        return QStringList {application.title, application.id, sourceLabel(application.source)}.join(QLatin1Char('\n'));
    }
    switch (index.column()) {
    case NameColumn:
        if (role == Qt::DisplayRole) {
            return application.title;
        }
        if (role == Qt::CheckStateRole) {
            return m_checked.at(index.row()) ? Qt::Checked : Qt::Unchecked;
        }
        if (role == Qt::DecorationRole) {
            return iconForRow(index.row());
        }
        if (role == Qt::ToolTipRole) {
            return application.summary.isEmpty() ? application.id : application.summary;
        }
        break;
    case VersionColumn:
        if (role == Qt::DisplayRole) {
            return application.version;
        }
        break;
    case SourceColumn:
        if (role == Qt::DisplayRole) {
            return sourceLabel(application.source);
        }
        break;
    default:
        break;
    }
    return {};
}

bool DiscoveredSoftwareModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != NameColumn || role != Qt::CheckStateRole) {
        return false;
    }
    setChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

QVariant DiscoveredSoftwareModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
    case NameColumn:
        return localizedString(QStringLiteral("DiscoverSoftwareNameColumn"));
    case VersionColumn:
        return localizedString(QStringLiteral("DiscoverSoftwareVersionColumn"));
    case SourceColumn:
        return localizedString(QStringLiteral("DiscoverSoftwareSourceColumn"));
    default:
        return {};
    }
}

Qt::ItemFlags DiscoveredSoftwareModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == NameColumn) {
        flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

void DiscoveredSoftwareModel::setChecked(int row, bool checked)
{
    if (row < 0 || row >= m_checked.size() || m_checked.at(row) == checked) {
        return;
    }
    m_checked[row] = checked;
    m_checkedCount += checked ? 1 : -1;
    const QModelIndex changed = index(row, NameColumn);
    emit dataChanged(changed, changed, {Qt::CheckStateRole});
    emit checkedCountChanged(m_checkedCount);
}

bool DiscoveredSoftwareModel::isChecked(int row) const
{
    return row >= 0 && row < m_checked.size() && m_checked.at(row);
}

QList<InstalledApplication> DiscoveredSoftwareModel::checkedApplications() const
{
    QList<InstalledApplication> checked;
    for (qsizetype row = 0; row < m_applications.size(); ++row) {
        if (m_checked.at(row)) {
            checked.append(m_applications.at(row));
        }
    }
    return checked;
}

QIcon DiscoveredSoftwareModel::iconForRow(int row) const
{
    auto found = m_icons.constFind(row);
    if (found == m_icons.cend()) {
        QIcon icon = iconFromFile(m_applications.at(row).iconPath);
        found = m_icons.insert(row, icon.isNull() ? fallbackIcon() : icon);
    }
    return *found;
}

QString DiscoveredSoftwareModel::sourceLabel(SoftwareSource source)
{
    switch (source) {
    case SoftwareSource::Deb:
        return localizedString(QStringLiteral("DiscoverSoftwareSourceDeb"));
    case SoftwareSource::Flatpak:
        return localizedString(QStringLiteral("DiscoverSoftwareSourceFlatpak"));
    case SoftwareSource::Snap:
        return localizedString(QStringLiteral("DiscoverSoftwareSourceSnap"));
    case SoftwareSource::AppImage:
        return localizedString(QStringLiteral("DiscoverSoftwareSourceAppImage"));
    case SoftwareSource::Bundle:
        return localizedString(QStringLiteral("DiscoverSoftwareSourceBundle"));
    case SoftwareSource::Local:
        return localizedString(QStringLiteral("DiscoverSoftwareSourceLocal"));
    }
    return {};
}
