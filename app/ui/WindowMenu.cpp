#include "WindowMenu.h"

#include "base/Localization.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

WindowMenu::WindowMenu(QMenuBar* menuBar, QWidget* owner)
    : QObject(owner)
    , m_menu(menuBar->addMenu(localizedString(QStringLiteral("WindowMenu"))))
{
    m_menu->setObjectName(QStringLiteral("windowMenu"));
    connect(m_menu, &QMenu::aboutToShow, this, &WindowMenu::rebuild);
    rebuild();
}

WindowMenu::~WindowMenu() = default;

void WindowMenu::rebuild()
{
    m_menu->clear();
    QAction* minimize = m_menu->addAction(localizedString(QStringLiteral("WindowMenuMinimizeMenuItem")),
                                          QKeySequence(Qt::CTRL | Qt::Key_M), this, [] {
                                              if (QWidget* active = QApplication::activeWindow()) {
                                                  active->showMinimized();
                                              }
                                          });
    minimize->setObjectName(QStringLiteral("minimizeWindow"));
    minimize->setEnabled(QApplication::activeWindow() != nullptr);
    m_menu->addAction(localizedString(QStringLiteral("SpendingMenuItem")), this, &WindowMenu::spendingRequested)
        ->setObjectName(QStringLiteral("showSpending"));
    m_menu->addSeparator();
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* widget : windows) {
        if (!widget->isWindow() || !widget->isVisible() || widget->windowTitle().isEmpty()
            || widget->windowType() == Qt::Popup || widget->windowType() == Qt::ToolTip) {
            continue;
        }
        QPointer<QWidget> target(widget);
        QAction* item = m_menu->addAction(widget->windowTitle(), this, [target] {
            if (target) {
                target->showNormal();
                target->raise();
                target->activateWindow();
            }
        });
        item->setCheckable(true);
        item->setChecked(widget == QApplication::activeWindow());
    }
}
