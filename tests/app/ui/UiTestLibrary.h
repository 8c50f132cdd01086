#pragma once

#include "base/Log.h"
#include "core/KeymoorAppDelegate.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"
#include "prefs/UserDefaults.h"
#include "support/ScriptedUserInterface.h"

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>

#include <memory>

// A private library for one test: the XDG folders point into a fresh temporary folder, the
// preferences live in a file there, and controllers made by start() open that library. Prices
// are read in a dollar locale so the separators do not depend on the machine.
class UiTestLibrary
{
public:
    UiTestLibrary()
    {
        for (const char* name : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"}) {
            const QString folder = m_root.filePath(QString::fromLatin1(name).toLower());
            QDir().mkpath(folder);
            qputenv(name, QFile::encodeName(folder));
        }
        Log::setLogFilePath(QString());
        Log::setEchoToStandardError(false);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        m_defaults = std::make_unique<UserDefaults>(m_root.filePath(QStringLiteral("Keymoor.conf")));
    }

    // A controller over this library with its default data, talking through `ui`.
    std::unique_ptr<KeymoorAppDelegate> start(UserInterface* ui)
    {
        auto controller
            = std::make_unique<KeymoorAppDelegate>(ui, KeymoorAppDelegate::OpenMode::ReadWrite, m_defaults.get());
        controller->initializeDefaultData();
        return controller;
    }

    UserDefaults& defaults() { return *m_defaults; }

    static ProductEntity* addProduct(Persistence::ObjectContext* context, const QString& title,
                                     const QString& version = QString(), const QString& serial = QString())
    {
        auto* product = context->insert<ProductEntity>(QStringLiteral("Product"));
        product->setTitle(title);
        product->setProductVersion(version);
        product->setSerialNumber(serial);
        return product;
    }

private:
    QTemporaryDir m_root;
    std::unique_ptr<UserDefaults> m_defaults;
};
