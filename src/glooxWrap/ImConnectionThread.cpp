#include "glooxWrap/ImConnectionThread.h"

#include "glooxWrap/CIMClient.h"
#include "glooxWrap/ImConnection.h"

#include <glog/logging.h>

ImConnectionThread::ImConnectionThread(CIMClient& client) : client_(client)
{
    std::packaged_task<void()> body([&client] { RunImConnection(client); });
    ended_ = body.get_future();
    thread_ = std::thread(std::move(body));
}

ImConnectionThread::~ImConnectionThread()
{
    client_.Disconnect();
    if (ended_.wait_for(kStopWait) == std::future_status::ready) {
        thread_.join();
        return;
    }
    LOG(WARNING) << "the IM thread did not end within " << kStopWait.count() << " ms; it is left to the process's end";
    thread_.detach();
}
