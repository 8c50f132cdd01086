#pragma once

#include "../../support/TemporaryUserFolders.h"
#include "base/Log.h"
#include "library/BackgroundJobTracker.h"
#include "library/LibrarySession.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"
#include "prefs/UserDefaults.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A library session in private user folders, without the controller, with one saved product, a
// scripted person and the log lines captured: the setting of the feature services' own tests.
class SessionTestLibrary : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Log::setEchoToStandardError(false);
        Log::setSink([this](const QString& line) { m_log.append(line); });
        m_session.initializeDefaultData();
        m_context = m_session.managedObjectContext();
        ASSERT_NE(m_context, nullptr);
        m_product = addProduct(QStringLiteral("Northwind Notes"));
        ASSERT_TRUE(m_session.saveAction());
    }
    void TearDown() override
    {
        m_session.jobs().shutDown();
        Log::setSink({});
    }

    ProductEntity* addProduct(const QString& title)
    {
        auto* product = m_context->insert<ProductEntity>(QStringLiteral("Product"));
        product->setTitle(title);
        return product;
    }

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_scratch.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    static QString fixture(const QString& name) { return testDataPath("/attachments/") + name; }

    bool logged(const QString& text) const { return m_log.join(u'\n').contains(text); }

    TemporaryUserFolders m_folders;
    UserDefaults m_defaults {m_folders.configHome() + QStringLiteral("/Keymoor/Keymoor.conf")};
    ScriptedUserInterface m_ui;
    LibrarySession m_session {&m_ui, LibrarySession::OpenMode::ReadWrite, &m_defaults};
    QTemporaryDir m_scratch;
    QStringList m_log;
    Persistence::ObjectContext* m_context = nullptr;
    ProductEntity* m_product = nullptr;
};
