#pragma once
// `TLookupServer`: the lookup server object "PikvaloS.Class1". The data module
// opens a second connection to it beside the application server's, at the same
// address and port, and asks nothing of it: the object accepts the connection
// (in-process, or through the daemon after the same login as the application
// server's) and has no members, so any call raises EOleError ("Unknown name").
#include "platform/core/Automation.h"

inline constexpr const char* kLookupServerProgId = "PikvaloS.Class1";

class TLookupServer : public AutoObject {
public:
    TLookupServer() : AutoObject(kLookupServerProgId) {}
};
