#pragma once

#include "persistence/ObjectContext.h"
#include "persistence/ObjectModel.h"
#include "persistence/StoreCoordinator.h"
#include "support/TestData.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <memory>

// A test model (tests/data/persistence/model_v1.json) with every attribute type, sub-entities and
// every delete rule, and a temporary folder for store files.
class PersistenceTest : public ::testing::Test
{
protected:
    static std::shared_ptr<const Persistence::ObjectModel> loadModel(const QString& name
                                                                     = QStringLiteral("model_v1.json"))
    {
        Persistence::StoreError error;
        std::shared_ptr<const Persistence::ObjectModel> model
            = Persistence::ObjectModel::fromFile(testDataPath("/persistence/") + name, &error);
        EXPECT_TRUE(model) << error.toString().toStdString();
        return model;
    }

    QString path(const QString& name) const { return m_folder.filePath(name); }

    std::shared_ptr<Persistence::StoreCoordinator>
    openCoordinator(const QString& file, Persistence::StoreType type = Persistence::StoreType::SQLite,
                    std::shared_ptr<const Persistence::ObjectModel> model = nullptr)
    {
        auto coordinator = std::make_shared<Persistence::StoreCoordinator>(model ? model : m_model);
        Persistence::StoreError error;
        EXPECT_TRUE(coordinator->addStore(type, path(file), &error)) << error.toString().toStdString();
        return coordinator;
    }

    static QByteArray fileBytes(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir m_folder;
    std::shared_ptr<const Persistence::ObjectModel> m_model = loadModel();
};
