#pragma once
// `TRemoteServer`: the client side of the daemon, an automation proxy for one
// server object (the application server or its lookup server). Each call
// sends the member name and its arguments and waits for the answer; the
// arguments come back as the server left them, so by-reference arguments
// (ByRef in Variant::Call) see the server's changes. An error of the server is
// raised as EOleError with the server's message; a lost connection raises
// ERemoteError and the proxy stays unusable.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/core/Automation.h"

VELMORA_DECLARE_EXCEPTION(ERemoteError, EOleError);

struct TRemoteOptions {
    std::string Host = "127.0.0.1";
    uint16_t Port = 211;
    std::string ServerName = "TessmarS.Class1";   // program id of the server object
    std::string Database, User, Password;
    bool Tls = false;
    std::string TlsCaFile;      // certificates to trust (the system's when empty)
    int TimeoutSeconds = 600;   // for one answer
};

class TRemoteServer : public IDispatch {
public:
    // Connects, says hello and logs in. Raises ERemoteError when the server cannot
    // be reached or refuses the login.
    static std::shared_ptr<TRemoteServer> Connect(const TRemoteOptions& options);
    ~TRemoteServer() override;

    Variant Invoke(std::string_view member, InvokeKind kind, OleArgs& args) override;
    std::string DispatchName() const override;

    struct Impl;
    explicit TRemoteServer(std::unique_ptr<Impl> impl);

private:
    std::unique_ptr<Impl> impl_;
};
