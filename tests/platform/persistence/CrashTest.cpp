#include "PersistenceTestSupport.h"
#include "support/TestData.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>

#include <cstdio>

using namespace Persistence;

namespace {

constexpr int InitialItems = 200;

// The last save number the writer reported, or -1.
qint64 lastReported(QProcess& writer)
{
    qint64 number = -1;
    for (const QByteArray& line : writer.readAllStandardOutput().split('\n')) {
        bool ok = false;
        const qint64 value = line.trimmed().toLongLong(&ok);
        if (ok) {
            number = value;
        }
    }
    return number;
}

} // namespace

// A writer process is killed at random moments while it saves; the store must always reopen
// with the state of one complete save.
TEST_F(PersistenceTest, KilledSavesLeaveTheOldOrTheNewStateNeverADamagedStore)
{
    const QString store = path(QStringLiteral("Keymoor.data"));
    {
        auto coordinator = openCoordinator(QStringLiteral("Keymoor.data"));
        ObjectContext context(coordinator);
        for (int i = 0; i < InitialItems; ++i) {
            context.insertObject(QStringLiteral("Item"))->setValue(QStringLiteral("large"), 0);
        }
        ASSERT_TRUE(context.save());
    }
    QRandomGenerator random(20091103);
    QElapsedTimer budget;
    budget.start();
    qint64 highest = 0;
    int rounds = 0;
    int interrupted = 0; // rounds that killed a save half-way (a journal was left)
    while (rounds < 40 && budget.elapsed() < 12000) {
        ++rounds;
        QProcess writer;
        writer.start(QStringLiteral(KEYMOOR_CRASH_WRITER), {store, testDataPath("/persistence/model_v1.json")});
        ASSERT_TRUE(writer.waitForStarted(5000));
        // Let it get under way, then kill it at a random point of whatever save it is in.
        ASSERT_TRUE(writer.waitForReadyRead(10000)) << writer.readAllStandardError().toStdString();
        QElapsedTimer running;
        running.start();
        const int delay = int(random.bounded(120));
        while (running.elapsed() < delay) {
            writer.waitForReadyRead(int(delay - running.elapsed()) + 1);
        }
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished(5000));
        const qint64 reported = lastReported(writer);
        interrupted += QFileInfo(store + QStringLiteral("-journal")).size() > 0 ? 1 : 0;

        StoreCoordinator coordinator(m_model);
        StoreError error;
        ASSERT_TRUE(coordinator.addStore(StoreType::SQLite, store, &error))
            << "round " << rounds << ": " << error.toString().toStdString();
        ObjectContext context(std::shared_ptr<StoreCoordinator>(&coordinator, [](StoreCoordinator*) {}));
        const ObjectList items = *context.execute(FetchRequest(QStringLiteral("Item")));
        ASSERT_FALSE(items.isEmpty());
        const qint64 number = items.first()->value(QStringLiteral("large")).toLongLong();
        for (const ManagedObject* item : items) {
            ASSERT_EQ(item->value(QStringLiteral("large")).toLongLong(), number)
                << "round " << rounds << ": a save was cut in half";
        }
        EXPECT_EQ(items.size(), InitialItems + number) << "round " << rounds;
        EXPECT_GE(number, qMax(reported, highest)) << "round " << rounds << ": a completed save was lost";
        EXPECT_LE(number, qMax(reported, highest) + 1) << "round " << rounds;
        highest = number;
    }
    EXPECT_GT(highest, rounds) << "the writer should have completed saves in most rounds";
    RecordProperty("interruptedSaves", interrupted);
    std::printf("%d of %d rounds interrupted a save\n", interrupted, rounds);
}
