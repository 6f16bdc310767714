#pragma once
// `TAppServerDaemon`: serves the application server and its lookup server to
// remote clients over TCP, optionally TLS, with the frames of WireProtocol.h.
// Every connection has its own thread and its own server object, as its Hello
// names it: "TessmarS.Class1" (with its own session and database connection) or
// "PikvaloS.Class1". So a client that misbehaves (garbage, truncated or oversized
// frames, silence) loses only its own connection. A connection must log in (user id and password
// checked against the salted, slow hash in the users table of the named company
// database) before any call is served.
#include <cstdint>
#include <memory>
#include <string>

#include "services/appserver/ServerSettings.h"
#include "services/appserver/WireProtocol.h"

struct TDaemonOptions {
    std::string Address = "127.0.0.1";
    uint16_t Port = 211;                 // 0: any free port (see Port())
    TServerSettings Settings;
    std::string TlsCertificateFile;      // TLS when both files are given (PEM)
    std::string TlsPrivateKeyFile;
    uint32_t MaxFrame = kDefaultMaxFrame;
    int LoginTimeoutSeconds = 30;        // to say hello and log in
    int IdleTimeoutSeconds = 3600;       // between calls
};

class TAppServerDaemon {
public:
    explicit TAppServerDaemon(TDaemonOptions options);
    ~TAppServerDaemon();   // stops

    // Binds and starts accepting in background threads. Raises on a bind error.
    void Start();
    // Closes the listener and every connection, and waits for their threads.
    void Stop();
    // Blocks until Stop is called from another thread (or a signal handler's thread).
    void Wait();
    uint16_t Port() const;
    // Connections being served now.
    int ConnectionCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// True when the password matches the user's stored hash in that company database.
// Unknown users and databases give false after the same amount of work.
bool VerifyLogin(const TServerSettings& settings, const std::string& database, const std::string& user,
                 const std::string& password);
// The stored form of a password (salted, slow hash) for the users table.
std::string HashPassword(const std::string& password);
