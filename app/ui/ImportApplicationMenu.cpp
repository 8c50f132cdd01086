#include "ImportApplicationMenu.h"

#include "base/Localization.h"
#include "core/KeymoorAppDelegate.h"

#include <QAction>
#include <QMenu>

ImportApplicationMenu::ImportApplicationMenu(KeymoorAppDelegate* delegate, QObject* parent)
    : QObject(parent)
    , m_delegate(delegate)
    , m_sheet(new QAction(localizedString(QStringLiteral("ImportMenuFromFileMenuItem")), this))
{
    m_sheet->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
    connect(m_sheet, &QAction::triggered, this, &ImportApplicationMenu::importSheetRequested);
    m_application = newAction(localizedString(QStringLiteral("ImportMenuApplicationMenuItem")),
                              &KeymoorAppDelegate::importNewProduct);
    m_application->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    m_preferencePane = newAction(localizedString(QStringLiteral("ImportMenuPreferencePaneMenuItem")),
                                 &KeymoorAppDelegate::importPrefPane);
    m_plugin
        = newAction(localizedString(QStringLiteral("ImportMenuPlugInMenuItem")), &KeymoorAppDelegate::importPlugin);
    m_widget
        = newAction(localizedString(QStringLiteral("ImportMenuWidgetMenuItem")), &KeymoorAppDelegate::importWidget);
}

ImportApplicationMenu::~ImportApplicationMenu() = default;

QAction* ImportApplicationMenu::newAction(const QString& text, void (KeymoorAppDelegate::*command)())
{
    auto* action = new QAction(text, this);
    connect(action, &QAction::triggered, this, [this, command] {
        if (m_delegate) {
            (m_delegate.data()->*command)();
        }
    });
    return action;
}

void ImportApplicationMenu::addMenuTo(QMenu* menu)
{
    QMenu* import = menu->addMenu(localizedString(QStringLiteral("ImportMenu")));
    import->setObjectName(QStringLiteral("importApplicationMenu"));
    import->addAction(m_sheet);
    import->addSeparator();
    import->addAction(m_application);
    import->addAction(m_preferencePane);
    import->addAction(m_plugin);
    import->addAction(m_widget);
}

void ImportApplicationMenu::setEnabled(bool enabled)
{
    for (QAction* action : {m_sheet, m_application, m_preferencePane, m_plugin, m_widget}) {
        action->setEnabled(enabled);
    }
}
