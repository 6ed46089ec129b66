#include "ui/MessageTarget.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"

#include "ui/CoreApplicationTest.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <atomic>

#include <map>
#include <thread>
#include <vector>

namespace {

// A plain message target that records what it received.
class Recorder : public MessageTarget {
public:
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        received.push_back({message, wParam, lParam});
        return static_cast<LRESULT>(wParam) * 2;
    }
    struct Entry {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Entry> received;
};

void PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

using MessageCore = CoreApplicationTest;

}  // namespace

TEST_F(MessageCore, PostsFromManyThreadsArriveOnceAndInOrderPerSender)
{
    Recorder target;
    HWND hwnd = target.GetHWND();
    constexpr int kThreads = 4;
    constexpr int kPerThread = 2000;
    std::vector<std::thread> senders;
    for (int t = 0; t < kThreads; ++t)
        senders.emplace_back([=] {
            for (int i = 0; i < kPerThread; ++i)
                ASSERT_TRUE(PostMessage(hwnd, WM_USER + 1, static_cast<WPARAM>(t), i));
        });
    for (auto& s : senders)
        s.join();
    PumpUntil([&] { return target.received.size() == kThreads * kPerThread; });
    ASSERT_EQ(static_cast<size_t>(kThreads * kPerThread), target.received.size());
    std::map<WPARAM, LPARAM> next;
    for (const auto& e : target.received) {
        EXPECT_EQ(next[e.wParam], e.lParam) << "sender " << e.wParam;
        next[e.wParam] = e.lParam + 1;
    }
}

TEST_F(MessageCore, ClosedWindowRefusesPostsAndDropsPendingOnes)
{
    auto target = std::make_unique<Recorder>();
    HWND hwnd = target->GetHWND();
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_TRUE(PostMessage(hwnd, WM_USER, 0, 0));
    target.reset();  // pending message is dropped with the window
    QCoreApplication::processEvents();
    EXPECT_FALSE(IsWindow(hwnd));

    auto* payload = new std::string("device");
    if (!PostMessage(hwnd, WM_IM_PRESENCE, 0, reinterpret_cast<LPARAM>(payload)))
        delete payload;  // the sender frees what the closed window will never receive
    else
        ADD_FAILURE() << "post to a closed window accepted";

    Recorder newer;  // handles are never reused
    EXPECT_NE(hwnd, newer.GetHWND());
}

TEST_F(MessageCore, SendRunsSynchronouslyFromAnyThread)
{
    Recorder target;
    EXPECT_EQ(42, SendMessage(target.GetHWND(), WM_USER, 21, 0));
    ASSERT_EQ(1u, target.received.size());

    LRESULT fromWorker = 0;
    std::thread worker([&] { fromWorker = SendMessage(target.GetHWND(), WM_USER, 5, 0); });
    PumpUntil([&] { return target.received.size() == 2; });
    worker.join();
    EXPECT_EQ(10, fromWorker);
    EXPECT_EQ(0, SendMessage(reinterpret_cast<HWND>(1), WM_USER, 5, 0));
}

TEST_F(MessageCore, TimersTickUntilKilled)
{
    Recorder target;
    target.SetTimer(7, 5);
    PumpUntil([&] { return target.received.size() >= 3; });
    target.KillTimer(7);
    ASSERT_GE(target.received.size(), 3u);
    EXPECT_EQ(WM_TIMER, target.received[0].message);
    EXPECT_EQ(7u, target.received[0].wParam);
    size_t ticks = target.received.size();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 30)
        QCoreApplication::processEvents();
    EXPECT_EQ(ticks, target.received.size());
}

TEST_F(MessageCore, SendToAWindowThatClosesFirstAnswersZeroAndNeverHangs)
{
    auto target = std::make_unique<Recorder>();
    const HWND hwnd = target->GetHWND();
    std::atomic<bool> queued{false};
    LRESULT answer = -1;
    std::thread worker([&] {
        queued = true;
        answer = SendMessage(hwnd, WM_USER, 21, 0);  // blocks until handled or dropped
    });
    while (!queued)
        std::this_thread::yield();
    // Give the send time to be queued, then close the window without handling it.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 20)
        std::this_thread::yield();
    target.reset();
    worker.join();
    EXPECT_TRUE(answer == 0 || answer == 42);  // dropped (0), or handled just before the close
    EXPECT_EQ(0, SendMessage(hwnd, WM_USER, 21, 0));
}

TEST_F(MessageCore, ReleasingTheHandleInsideItsOwnHandlerIsSafe)
{
    struct SelfClosing : MessageTarget {
        LRESULT OnWindowMessage(UINT, WPARAM, LPARAM) override
        {
            ++handled;
            ReleaseHandle();  // what a window does when WM_CLOSE destroys it
            return 0;
        }
        int handled = 0;
    } target;
    const HWND hwnd = target.GetHWND();
    ASSERT_TRUE(PostMessage(hwnd, WM_CLOSE, 0, 0));
    ASSERT_TRUE(PostMessage(hwnd, WM_USER, 0, 0));  // queued behind it: dropped with the handle
    PumpUntil([&] { return target.handled > 0; });
    QCoreApplication::processEvents();
    EXPECT_EQ(1, target.handled);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(nullptr, target.GetHWND());
}
