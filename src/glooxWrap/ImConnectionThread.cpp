#include "glooxWrap/ImConnectionThread.h"

#include "glooxWrap/CIMClient.h"
#include "glooxWrap/ImConnection.h"

#include <glog/logging.h>

ImConnectionThread::ImConnectionThread(CIMClient& client) : client_(client)
{
    std::packaged_task<void()> body([&client] { RunImConnection(client); });
    ended_ = body.get_future();
    // Detached: its end is seen through ended_, and a window that is never destroyed leaves it to the
    // process's end, as before.
    std::thread(std::move(body)).detach();
}

ImConnectionThread::~ImConnectionThread() { Stop(); }

bool ImConnectionThread::Stop()
{
    client_.Disconnect();
    const bool first = !waited_;
    waited_ = true;
    if (ended_.wait_for(first ? kStopWait : std::chrono::milliseconds(0)) == std::future_status::ready)
        return true;
    if (first)
        LOG(WARNING) << "the IM thread did not end within " << kStopWait.count() << " ms; it is left to the process's end";
    return false;
}
