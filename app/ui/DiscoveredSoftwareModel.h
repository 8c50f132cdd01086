#pragma once

#include "software/InstalledApplication.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QList>

// The rows of the discovery sheet: installed applications with a check box each (in the name
// column), their version and where they came from. Icons are read from their files only when a
// view asks for them, that is for the rows it shows.
class DiscoveredSoftwareModel : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DiscoveredSoftwareModel)

public:
    enum Column { NameColumn, VersionColumn, SourceColumn, ColumnCount };
    // Name, ID and source of a row on separate lines: what the sheet's filter field matches.
    static constexpr int FilterTextRole = Qt::UserRole + 1;
    static constexpr int IconSize = 32;

    explicit DiscoveredSoftwareModel(QObject* parent = nullptr);
    ~DiscoveredSoftwareModel() override;

    // Replaces the rows; none is checked.
    void setApplications(const QList<InstalledApplication>& applications);
    const QList<InstalledApplication>& applications() const { return m_applications; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void setChecked(int row, bool checked);
    bool isChecked(int row) const;
    int checkedCount() const { return m_checkedCount; }
    // The checked applications in the order of the rows.
    QList<InstalledApplication> checkedApplications() const;
    // How many icon files have been read so far.
    int loadedIconCount() const { return int(m_icons.size()); }

    // The text shown for a source ("deb", "Flatpak", ...).
    static QString sourceLabel(SoftwareSource source);

signals:
    void checkedCountChanged(int count);

private:
    QIcon iconForRow(int row) const;

    QList<InstalledApplication> m_applications;
    QList<bool> m_checked;
    int m_checkedCount = 0;
    mutable QHash<int, QIcon> m_icons;
};
