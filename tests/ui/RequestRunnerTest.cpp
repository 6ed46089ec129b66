// How a blocking request waits on the UI thread: the thread goes on handling messages, requests never
// overlap (one started from a message handled during another's wait runs after it), a quit stops the
// work, and off the UI thread the work runs where it is called.
#include "ui/ModalLoop.h"
#include "ui/RequestRunner.h"

#include "ui/CoreApplicationTest.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

class RequestRunnerTest : public CoreApplicationTest {
protected:
    void TearDown() override { ResetQuit(); }
};

TEST_F(RequestRunnerTest, ARequestStartedDuringAnothersWaitRunsAfterItAndEachCallerGetsItsOwnResult)
{
    std::vector<std::string> steps;  // UI thread only
    std::atomic<int> working{0};
    std::atomic<bool> overlapped{false};
    auto request = [&](const char* name, std::string& result) {
        RequestRunner::Run([&, name](std::stop_token) {
            if (working.fetch_add(1) != 0)
                overlapped.store(true);
            std::this_thread::sleep_for(150ms);
            result = name;
            working.fetch_sub(1);
        });
    };
    std::string inner;
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(10);
    // A message handled while the first request waits starts a second one.
    QTimer::singleShot(30, [&] {
        EXPECT_TRUE(RequestRunner::Busy());
        request("inner", inner);
        steps.push_back("inner saw " + inner);
    });
    std::string outer;
    request("outer", outer);
    steps.push_back("outer saw " + outer);

    EXPECT_FALSE(overlapped.load());
    EXPECT_EQ(steps, (std::vector<std::string>{"inner saw inner", "outer saw outer"}));
    EXPECT_GE(ticks, 10) << "the UI thread stood still while the requests worked";
    EXPECT_FALSE(RequestRunner::Busy());
}

TEST_F(RequestRunnerTest, AQuitStopsTheWorkAndHeldBackActionsRunOnceItEnded)
{
    bool stopped = false;
    bool idleActionRan = false;
    QTimer::singleShot(50, [&] {
        RequestRunner::WhenIdle([&] { idleActionRan = true; });
        EXPECT_FALSE(idleActionRan);
        PostQuitMessage(0);
    });
    RequestRunner::Run([&](std::stop_token stop) {
        const auto until = std::chrono::steady_clock::now() + 10s;
        while (!stop.stop_requested() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(5ms);
        stopped = stop.stop_requested();
    });
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(idleActionRan);
}

TEST_F(RequestRunnerTest, OffTheUiThreadTheWorkRunsOnTheCallingThread)
{
    std::thread::id caller, worker;
    std::thread([&] {
        caller = std::this_thread::get_id();
        RequestRunner::Run([&](std::stop_token) { worker = std::this_thread::get_id(); });
    }).join();
    EXPECT_EQ(caller, worker);
}

}  // namespace
