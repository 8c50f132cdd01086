#pragma once

#include "../../support/TemporaryUserFolders.h"
#include "base/Log.h"
#include "core/KeymoorAppDelegate.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"
#include "prefs/UserDefaults.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <memory>

// A fresh library in private user folders with one product, a scripted person and the log lines
// captured: the setting of the attachment tests.
class AttachmentTestLibrary : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Log::setEchoToStandardError(false);
        Log::setSink([this](const QString& line) { m_log.append(line); });
        m_delegate = std::make_unique<KeymoorAppDelegate>(&m_ui, KeymoorAppDelegate::OpenMode::ReadWrite, &m_defaults);
        m_delegate->initializeDefaultData();
        m_context = m_delegate->managedObjectContext();
        ASSERT_NE(m_context, nullptr);
        m_product = m_context->insert<ProductEntity>(QStringLiteral("Product"));
        m_product->setTitle(QStringLiteral("Northwind Notes"));
        ASSERT_TRUE(m_delegate->saveAction());
    }
    void TearDown() override
    {
        m_delegate.reset();
        Log::setSink({});
    }

    // Writes a file of the given bytes into the test's scratch folder and answers its path.
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

    static QByteArray readAll(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    int count(const QString& entity) const
    {
        const auto objects = m_context->execute(Persistence::FetchRequest(entity));
        return objects ? int(objects->size()) : -1;
    }

    bool logged(const QString& line) const { return m_log.contains(line); }

    TemporaryUserFolders m_folders;
    UserDefaults m_defaults {m_folders.configHome() + QStringLiteral("/Keymoor/Keymoor.conf")};
    ScriptedUserInterface m_ui;
    QTemporaryDir m_scratch;
    QStringList m_log;
    std::unique_ptr<KeymoorAppDelegate> m_delegate;
    Persistence::ObjectContext* m_context = nullptr;
    ProductEntity* m_product = nullptr;
};
