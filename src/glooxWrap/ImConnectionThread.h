#pragma once

#include <chrono>
#include <future>
#include <thread>

class CIMClient;

// The thread that keeps a signed-in client's IM connection (RunImConnection). Its end (Stop, or the
// destructor) asks the client to disconnect and waits until the thread has left it (and logs no
// more): the receive loop and the pauses between attempts look at the request every few tens of
// milliseconds. Only a connection attempt hung in the network outlasts kStopWait; that thread is then
// left to end with the process rather than hold up the window that closes or the program's exit.
class ImConnectionThread {
public:
    static constexpr std::chrono::milliseconds kStopWait{2000};

    explicit ImConnectionThread(CIMClient& client);
    ~ImConnectionThread();
    ImConnectionThread(const ImConnectionThread&) = delete;
    ImConnectionThread& operator=(const ImConnectionThread&) = delete;

    // Ends the thread as the destructor does; true when it has left the client. Waits kStopWait at
    // most once in all: a later call (the destructor's too) only looks.
    bool Stop();

private:
    CIMClient& client_;
    std::future<void> ended_;
    bool waited_ = false;
};
