#include "ImportApplicationMenu.h"

#include "base/Localization.h"
#include "core/KeymoorAppDelegate.h"
#include "prefs/SoftwareFolders.h"

#include <QAction>
#include <QDir>
#include <QMenu>

ImportApplicationMenu::ImportApplicationMenu(KeymoorAppDelegate* delegate, QObject* parent)
    : QObject(parent)
    , m_delegate(delegate)
    , m_sheet(new QAction(localizedString(QStringLiteral("ImportMenuFromFileMenuItem")), this))
    , m_foreign(new QAction(localizedString(QStringLiteral("ForeignImportMenuItem")), this))
    , m_discover(new QAction(localizedString(QStringLiteral("DiscoverSoftwareMenuItem")), this))
{
    m_discover->setObjectName(QStringLiteral("discoverSoftwareAction"));
    connect(m_discover, &QAction::triggered, this, &ImportApplicationMenu::discoverSoftwareRequested);
    m_foreign->setObjectName(QStringLiteral("foreignImportAction"));
    connect(m_foreign, &QAction::triggered, this, &ImportApplicationMenu::foreignImportRequested);
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
    m_preferencePane->setObjectName(QStringLiteral("importPreferencePaneAction"));
    m_plugin->setObjectName(QStringLiteral("importPluginAction"));
    m_widget->setObjectName(QStringLiteral("importWidgetAction"));
    updateBundleCommands();
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
    import->addAction(m_foreign);
    import->addSeparator();
    import->addAction(m_application);
    import->addAction(m_preferencePane);
    import->addAction(m_plugin);
    import->addAction(m_widget);
    connect(import, &QMenu::aboutToShow, this, &ImportApplicationMenu::updateBundleCommands);
    menu->addAction(m_discover);
}

void ImportApplicationMenu::updateBundleCommands()
{
    using SoftwareFolders::BundleKind;
    const QString home = QDir::homePath();
    m_preferencePane->setVisible(!SoftwareFolders::existingBundleFolder(BundleKind::PreferencePane, home).isEmpty());
    m_plugin->setVisible(!SoftwareFolders::existingBundleFolder(BundleKind::Plugin, home).isEmpty());
    m_widget->setVisible(!SoftwareFolders::existingBundleFolder(BundleKind::Widget, home).isEmpty());
}

void ImportApplicationMenu::setEnabled(bool enabled)
{
    for (QAction* action : {m_sheet, m_foreign, m_application, m_preferencePane, m_plugin, m_widget, m_discover}) {
        action->setEnabled(enabled);
    }
}
