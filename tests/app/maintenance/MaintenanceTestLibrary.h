#pragma once

#include "../../support/TemporaryUserFolders.h"
#include "../../support/TestImages.h"
#include "base/LibraryPaths.h"
#include "base/Log.h"
#include "core/KeymoorAppDelegate.h"
#include "maintenance/FolderCopy.h"
#include "maintenance/ZRDataMigrator.h"
#include "model/AttachmentEntity.h"
#include "model/IconEntity.h"
#include "model/ProductEntity.h"
#include "model/ZRAttachmentContent.h"
#include "persistence/Decimal.h"
#include "persistence/ObjectContext.h"
#include "prefs/UserDefaults.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestData.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <map>
#include <memory>

// Private user folders, a scripted person and the log captured, with helpers that fill a library
// and take a fingerprint of everything it holds: the setting of the maintenance tests.
class MaintenanceTestLibrary : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Log::setEchoToStandardError(false);
        Log::setSink([this](const QString& line) { m_log.append(line); });
    }
    void TearDown() override
    {
        FolderCopy::setFileHookForTesting({});
        m_delegate.reset();
        Log::setSink({});
    }

    KeymoorAppDelegate& start()
    {
        m_delegate = std::make_unique<KeymoorAppDelegate>(&m_ui, KeymoorAppDelegate::OpenMode::ReadWrite, &m_defaults);
        m_delegate->initializeDefaultData();
        EXPECT_NE(m_delegate->managedObjectContext(), nullptr) << m_delegate->openError().toStdString();
        return *m_delegate;
    }
    void restart()
    {
        m_delegate.reset();
        start();
    }
    Persistence::ObjectContext* context() { return m_delegate->managedObjectContext(); }
    ZRDataMigrator& migrator() { return *m_delegate->dataMigrator(); }

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_scratch.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    static QString fixture(const QString& name) { return testDataPath("/maintenance/") + name; }
    static QByteArray readAll(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QByteArray pngBytes(QRgb colour) { return encodedImage(QSize(16, 16), QColor::fromRgba(colour)); }

    // Two products with every kind of value, a text file, an e-mail and an icon; saved.
    void fillLibrary()
    {
        auto* editor = context()->insert<ProductEntity>(QStringLiteral("Product"));
        editor->setTitle(QStringLiteral("Northwind \"Pro\" Editor"));
        editor->setProductVersion(QStringLiteral("2.1"));
        editor->setSerialNumber(QStringLiteral("NW-1234\nNW-5678"));
        editor->setRegisteredEmail(QStringLiteral("jane@example.com"));
        editor->setPurchasePrice(Persistence::Decimal::fromString(u"1299.50"));
        editor->setPurchaseDate(QDateTime(QDate(2009, 3, 25), QTime(12, 0), Qt::UTC));
        editor->setComments(QByteArrayLiteral("bought, on sale"));
        ASSERT_TRUE(editor->attachDocument(writeFile(QStringLiteral("licence.txt"), "licence text\n")));
        ASSERT_TRUE(editor->attachDocument(fixture(QStringLiteral("purchase-receipt.eml"))));
        ASSERT_TRUE(editor->storeMigratedIcon(pngBytes(qRgb(200, 30, 30))));
        auto* tool = context()->insert<ProductEntity>(QStringLiteral("Product"));
        tool->setTitle(QStringLiteral("Alpha Tool"));
        tool->setPurchasePrice(std::nullopt);
        ASSERT_TRUE(tool->attachDocument(writeFile(QStringLiteral("manual.pdf"), QByteArray(3000, 'p'))));
        ASSERT_TRUE(m_delegate->saveAction());
    }

    // Every product by title (with a number for repeats): its values, attachment names with the
    // hash of their bytes, and the hash of its icon. Equal fingerprints mean equal catalogues.
    std::map<QString, QString> fingerprint()
    {
        std::map<QString, QString> result;
        const auto products = context()->execute(Persistence::FetchRequest(QStringLiteral("Product")));
        for (Persistence::ManagedObject* object : *products) {
            auto* product = static_cast<ProductEntity*>(object);
            QStringList parts;
            for (const QString& key :
                 {QStringLiteral("productVersion"), QStringLiteral("serialNumber"), QStringLiteral("registeredEmail"),
                  QStringLiteral("purchasePrice"), QStringLiteral("purchaseDate"), QStringLiteral("comments")}) {
                const QVariant value = product->value(key);
                parts << (value.metaType() == QMetaType::fromType<Persistence::Decimal>()
                              ? value.value<Persistence::Decimal>().toString()
                              : value.toString());
            }
            QStringList files;
            for (const AttachmentEntity* attachment : product->attachedFiles()) {
                files << attachment->name() + u'=' + hash(attachment->contentPath());
            }
            files.sort();
            parts << files.join(u';');
            parts << (product->appIcon() ? hash(product->appIcon()->filePath()) : QString());
            QString key = product->title();
            while (result.count(key)) {
                key += u'+';
            }
            result[key] = parts.join(u'|');
        }
        return result;
    }
    static QString hash(const QString& path)
    {
        if (path.isEmpty() || !QFileInfo::exists(path)) {
            return QStringLiteral("missing");
        }
        return QString::fromLatin1(QCryptographicHash::hash(readAll(path), QCryptographicHash::Sha1).toHex());
    }
    // Name -> hash of every file in a folder.
    static std::map<QString, QString> folderHashes(const QString& folder)
    {
        std::map<QString, QString> result;
        for (const QString& name : QDir(folder).entryList(QDir::Files)) {
            result[name] = hash(QDir(folder).filePath(name));
        }
        return result;
    }
    Persistence::ObjectList all(const QString& entity)
    {
        return context()->execute(Persistence::FetchRequest(entity)).value_or(Persistence::ObjectList());
    }
    int count(const QString& entity)
    {
        const auto objects = context()->execute(Persistence::FetchRequest(entity));
        return objects ? int(objects->size()) : -1;
    }
    bool logged(const QString& line) const { return m_log.contains(line); }

    TemporaryUserFolders m_folders;
    UserDefaults m_defaults {m_folders.configHome() + QStringLiteral("/Keymoor/Keymoor.conf")};
    ScriptedUserInterface m_ui;
    QTemporaryDir m_scratch;
    QStringList m_log;
    std::unique_ptr<KeymoorAppDelegate> m_delegate;
};
