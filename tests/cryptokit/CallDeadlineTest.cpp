#include "ZRCallDeadline.h"

#include <chrono>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// Waits until the cancellable is cancelled, at most the given time; answers whether it was.
bool waitForCancellation(GCancellable* cancellable, std::chrono::milliseconds patience)
{
    GPollFD descriptor {};
    g_cancellable_make_pollfd(cancellable, &descriptor);
    g_poll(&descriptor, 1, static_cast<int>(patience.count()));
    g_cancellable_release_fd(cancellable);
    return g_cancellable_is_cancelled(cancellable);
}

} // namespace

TEST(CallDeadline, CancelsWhenTheLimitPasses)
{
    const ZRCallDeadline deadline(20ms);
    EXPECT_TRUE(waitForCancellation(deadline.cancellable(), 10s));
    EXPECT_TRUE(deadline.expired());
}

TEST(CallDeadline, EndingBeforeTheLimitNeitherWaitsNorCancels)
{
    const auto start = std::chrono::steady_clock::now();
    GCancellable* cancellable = nullptr;
    {
        const ZRCallDeadline deadline(1h);
        cancellable = G_CANCELLABLE(g_object_ref(deadline.cancellable()));
        EXPECT_FALSE(deadline.expired());
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    EXPECT_FALSE(g_cancellable_is_cancelled(cancellable));
    g_object_unref(cancellable);
}
