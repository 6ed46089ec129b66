// Helper of the player tests: plays a live stream, records it to a file, says "recording" on its
// standard output and then waits to be killed, so that the test can kill it while it records.
// Usage: record_until_killed URL FILE
#include "PlayInterface.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

namespace {

class Opened : public PlayEventObserver {
public:
    void OnPlayEvent(int event, int, int) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        event_ = event;
        changed_.notify_all();
    }
    bool Wait()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(10),
                          [this] { return event_ == PE_OPENED || event_ == PE_OPEN_FAILED; });
        return event_ == PE_OPENED;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int event_ = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    Opened opened;
    PlayInterface* player = CreatePlayerObject();
    player->RegisterObserver(&opened);
    player->SetPlayMode(PM_REALTIME);
    if (player->Open(argv[1], nullptr) != 0 || !opened.Wait())
        return 1;
    player->Play();
    if (player->StartRecord(argv[2]) != 0)
        return 1;
    std::printf("recording\n");
    std::fflush(stdout);
    for (;;)
        std::this_thread::sleep_for(std::chrono::hours(1));
}
