#pragma once

#include <QObject>

class QMenu;
class QMenuBar;
class QWidget;

// The Window menu: Minimize for the active window, Spending, then one item per open window of
// Keymoor (checked for the active one), which brings that window forward.
class WindowMenu : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WindowMenu)

public:
    // `owner` (the main window) owns the menu's controller.
    WindowMenu(QMenuBar* menuBar, QWidget* owner);
    ~WindowMenu() override;

    // Fills the menu for the windows open now (done each time it opens).
    void rebuild();

signals:
    // Window > Spending was chosen.
    void spendingRequested();

private:
    QMenu* m_menu;
};
