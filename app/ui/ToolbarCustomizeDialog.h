#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;
class QListWidgetItem;

// Chooses and orders the main toolbar's items: the allowed items on the left (separators and
// spaces may be added any number of times, the other items once), the toolbar's items on the right.
class ToolbarCustomizeDialog : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ToolbarCustomizeDialog)

public:
    ToolbarCustomizeDialog(const QStringList& allowed, const QStringList& defaults, const QStringList& current,
                           QWidget* parent = nullptr);
    ~ToolbarCustomizeDialog() override;

    // The chosen items in order.
    QStringList items() const;

    // The name an item is listed by.
    static QString itemLabel(const QString& identifier);

    void addSelected();
    void removeSelected();
    void moveSelected(int offset);
    void restoreDefaults();

private:
    void setChosen(const QStringList& items);
    void refreshAvailable();
    static QListWidgetItem* newItem(const QString& identifier);

    QStringList m_allowed;
    QStringList m_defaults;
    QListWidget* m_available = nullptr;
    QListWidget* m_chosen = nullptr;
};
