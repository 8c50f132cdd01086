#include "ui/ApplicationInstanceChannel.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <QUuid>

#include <future>
#include <gtest/gtest.h>

namespace {

QString uniqueName()
{
    return QStringLiteral("keymoor-test-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
}

// Delivers from another thread (delivering blocks) while this thread's event loop serves the
// channel; answers what the channel received, or nothing when it received nothing in time.
std::optional<QStringList> deliverAndReceive(ApplicationInstanceChannel& channel, const QString& name,
                                             const QStringList& paths, bool* delivered)
{
    std::optional<QStringList> received;
    QEventLoop loop;
    QObject::connect(&channel, &ApplicationInstanceChannel::filesReceived, &loop,
                     [&](const QStringList& got) { received = got; });
    auto future = std::async(std::launch::async, [&] { return ApplicationInstanceChannel::deliver(name, paths); });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    while (future.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
        loop.processEvents(QEventLoop::AllEvents, 20);
    }
    *delivered = future.get();
    loop.processEvents();
    return received;
}

TEST(ApplicationInstanceChannelTest, PathsReachTheListeningWindow)
{
    const QString name = uniqueName();
    ApplicationInstanceChannel channel;
    ASSERT_TRUE(channel.listen(name));
    bool delivered = false;
    const QStringList paths {QStringLiteral("/tmp/One App.app"), QStringLiteral("/tmp/data \"2\".keymoor")};
    EXPECT_EQ(deliverAndReceive(channel, name, paths, &delivered), paths);
    EXPECT_TRUE(delivered);
    // No paths: the window is only brought forward.
    EXPECT_EQ(deliverAndReceive(channel, name, {}, &delivered), QStringList());
    EXPECT_TRUE(delivered);
}

TEST(ApplicationInstanceChannelTest, WithoutAWindowNothingIsDeliveredAndALeftoverSocketIsReplaced)
{
    const QString name = uniqueName();
    EXPECT_FALSE(ApplicationInstanceChannel::deliver(name, {QStringLiteral("/tmp/x.keymoor")}, 500));

    // A file left where the socket goes, as after a crash.
    QFile leftover(QDir::temp().filePath(name));
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.close();
    ApplicationInstanceChannel channel;
    EXPECT_TRUE(channel.listen(name));
    EXPECT_TRUE(channel.isListening());
}

TEST(ApplicationInstanceChannelTest, NamesDifferPerLibrary)
{
    EXPECT_NE(ApplicationInstanceChannel::nameForLibrary(QStringLiteral("/home/a/Keymoor.kmlib")),
              ApplicationInstanceChannel::nameForLibrary(QStringLiteral("/home/b/Keymoor.kmlib")));
    EXPECT_LT(ApplicationInstanceChannel::nameForLibrary(QStringLiteral("/x")).size(), 40);
}

} // namespace
