#pragma once

// A TCP port on 127.0.0.1 that nothing listens on at the time of the call: for a server a test starts,
// or for a connection that must be refused.
int FreeLoopbackPort();
