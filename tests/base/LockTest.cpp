#include "base/AutoResetEvent.h"
#include "base/CriticalSection.h"
#include "base/Sigleton.h"
#include "base/SingleLock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

TEST(SingleLock, RefusesNullObjectWithTheFixedText)
{
    try {
        base::CSingleLock lock(nullptr, true);
        FAIL() << "no exception";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(" CSingleLock pObject == NULL ", e.what());
    }
}

TEST(SingleLock, CriticalSectionIsRecursiveAndExcludesOtherThreads)
{
    base::CCriticalSection section;
    long counter = 0;
    auto work = [&] {
        for (int i = 0; i < 10000; ++i) {
            base::CSingleLock outer(&section, true);
            base::CSingleLock inner(&section, true);  // re-entry by the owner must not deadlock
            ++counter;
        }
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
        threads.emplace_back(work);
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(40000, counter);
}

TEST(SingleLock, UnlockIsIdempotentAndDestructorReleases)
{
    base::CCriticalSection section;
    {
        base::CSingleLock lock(&section);
        EXPECT_FALSE(lock.IsLocked());
        EXPECT_TRUE(lock.Lock());
        EXPECT_TRUE(lock.IsLocked());
        EXPECT_TRUE(lock.Unlock());
        EXPECT_TRUE(lock.Unlock());
        lock.Lock();
    }
    std::thread other([&] {
        base::CSingleLock again(&section, true);
        EXPECT_TRUE(again.IsLocked());
    });
    other.join();
}

namespace {
struct Counted {
    Counted() { ++constructed; }
    static inline std::atomic<int> constructed{0};
};
}  // namespace

TEST(Sigleton, CreatesOnceAcrossThreads)
{
    std::vector<std::thread> threads;
    std::atomic<Counted*> seen[8] = {};
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&, i] { seen[i] = base::Sigleton<Counted>::Instance(); });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(1, Counted::constructed.load());
    for (auto& s : seen)
        EXPECT_EQ(seen[0].load(), s.load());
}

TEST(AutoResetEvent, ReleasesOneWaiterPerSetAndResets)
{
    base::AutoResetEvent event;
    EXPECT_FALSE(event.Wait(std::chrono::milliseconds(1)));
    event.Set();
    event.Set();  // a second Set on a set event does not count twice
    EXPECT_TRUE(event.Wait(std::chrono::milliseconds(1)));
    EXPECT_FALSE(event.Wait(std::chrono::milliseconds(1)));

    std::atomic<int> released{0};
    std::thread waiter([&] {
        event.Wait();
        ++released;
    });
    event.Set();
    waiter.join();
    EXPECT_EQ(1, released.load());
}
