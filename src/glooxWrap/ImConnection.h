#pragma once

class CIMClient;

// Body of the IM thread ("connect server thread"): logs in with the signed-in account's mobile number
// and IM password to the IM server named by the log-in reply, and runs the connection until it ends.
// The caller starts it on a thread of its own after SetNotifyWnd.
void RunImConnection(CIMClient& client);
