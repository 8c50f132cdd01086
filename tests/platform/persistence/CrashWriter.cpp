// Saves to a store in a loop until it is killed, printing the number of each completed save.
// Every save sets "large" of every Item to the save's number and adds one Item with that
// number, so a consistent store has all Items at one number V and (initial count + V) Items.
#include "persistence/ObjectContext.h"
#include "persistence/ObjectModel.h"
#include "persistence/StoreCoordinator.h"

#include <QCoreApplication>

#include <cstdio>

using namespace Persistence;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s STORE MODEL\n", argv[0]);
        return 2;
    }
    StoreError error;
    std::shared_ptr<const ObjectModel> model = ObjectModel::fromFile(QString::fromLocal8Bit(argv[2]), &error);
    auto coordinator = model ? std::make_shared<StoreCoordinator>(model) : nullptr;
    if (!coordinator || !coordinator->addStore(StoreType::SQLite, QString::fromLocal8Bit(argv[1]), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error.toString()));
        return 1;
    }
    ObjectContext context(coordinator);
    const auto first = context.execute(FetchRequest(QStringLiteral("Item")));
    qint64 number = first && !first->isEmpty() ? first->first()->value(QStringLiteral("large")).toLongLong() : 0;
    while (true) {
        ++number;
        const auto items = context.execute(FetchRequest(QStringLiteral("Item")));
        for (ManagedObject* item : *items) {
            item->setValue(QStringLiteral("large"), number);
            item->setValue(QStringLiteral("text"), QStringLiteral("save %1").arg(number));
        }
        ManagedObject* added = context.insertObject(QStringLiteral("Item"));
        added->setValue(QStringLiteral("large"), number);
        added->setValue(QStringLiteral("bytes"), QByteArray(8192, char('a' + number % 26)));
        if (!context.save(&error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error.toString()));
            return 1;
        }
        context.reset();
        std::printf("%lld\n", static_cast<long long>(number));
        std::fflush(stdout);
    }
}
