#include "glooxWrap/ImConnection.h"

#include "app/UserSession.h"
#include "base/ReconnectBackoff.h"
#include "glooxWrap/CIMClient.h"
#include "glooxWrap/KeepImConnection.h"

#include <glog/logging.h>

void RunImConnection(CIMClient& client)
{
    LOG(INFO) << "connect server thread";
    UserSession* session = UserSession::Instance();
    const ImLogin login{session->Mobile(), session->ImPassword(), KELVUE_DEVICE_DOMAIN, session->ImServerIp(),
                        session->ImServerPort()};
    ReconnectBackoff backoff(std::chrono::seconds(1), std::chrono::seconds(30));
    KeepImConnection(client, login, backoff);
}
