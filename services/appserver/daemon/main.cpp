// tessmar-server: the application server as a network daemon.
//
//   tessmar-server [--listen ADDRESS] [--port N] [--sqlite FOLDER | --postgres CONNINFO]
//                  [--tls-cert FILE --tls-key FILE] [--max-frame BYTES]
//
// Without storage options it uses the installation's settings (ReadServerSettings).
// It prints "listening on ADDRESS:PORT" once it accepts connections and stops
// cleanly on SIGINT or SIGTERM.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "services/appserver/AppServerDaemon.h"

namespace {

int Usage(const char* message) {
    std::fprintf(stderr, "tessmar-server: %s\n", message);
    std::fprintf(stderr,
                 "usage: tessmar-server [--listen ADDRESS] [--port N] [--sqlite FOLDER | --postgres CONNINFO]\n"
                 "                      [--tls-cert FILE --tls-key FILE] [--max-frame BYTES]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    TDaemonOptions options;
    options.Settings = ReadServerSettings();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) return Usage(("missing value of " + arg).c_str());
        const std::string value = argv[++i];
        if (arg == "--listen") {
            options.Address = value;
        } else if (arg == "--port") {
            options.Port = static_cast<uint16_t>(std::atoi(value.c_str()));
        } else if (arg == "--sqlite") {
            options.Settings.Kind = TStorageKind::SQLite;
            options.Settings.DataFolder = value;
        } else if (arg == "--postgres") {
            options.Settings.Kind = TStorageKind::PostgreSQL;
            options.Settings.ConnInfo = value;
        } else if (arg == "--tls-cert") {
            options.TlsCertificateFile = value;
        } else if (arg == "--tls-key") {
            options.TlsPrivateKeyFile = value;
        } else if (arg == "--max-frame") {
            options.MaxFrame = static_cast<uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
        } else {
            return Usage(("unknown option " + arg).c_str());
        }
    }
    // Signals are taken by this thread alone (sigwait), never by a connection's.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    try {
        TAppServerDaemon daemon(options);
        daemon.Start();
        std::printf("listening on %s:%u\n", options.Address.c_str(), static_cast<unsigned>(daemon.Port()));
        std::fflush(stdout);
        int received = 0;
        sigwait(&signals, &received);
        daemon.Stop();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tessmar-server: %s\n", e.what());
        return 1;
    }
    return 0;
}
