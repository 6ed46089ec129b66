#include "glooxWrap/ImConnection.h"

#include "app/UserSession.h"
#include "glooxWrap/CIMClient.h"

#include <glog/logging.h>

void RunImConnection(CIMClient& client)
{
    LOG(INFO) << "connect server thread";
    UserSession* session = UserSession::Instance();
    client.ConnectServer(session->Mobile(), session->ImPassword(), KELVUE_DEVICE_DOMAIN, session->ImServerIp(),
                         session->ImServerPort());
}
