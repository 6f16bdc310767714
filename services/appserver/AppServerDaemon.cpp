#include "services/appserver/AppServerDaemon.h"

#include <sodium.h>
#include <sys/socket.h>

#include <asio.hpp>
#include <asio/ssl.hpp>
#include <atomic>
#include <condition_variable>
#include <list>
#include <mutex>
#include <thread>

#include "services/appserver/AppServer.h"
#include "services/appserver/LookupServer.h"

namespace {

using asio::ip::tcp;

// Hash parameters of stored passwords: Argon2id, 3 passes over 16 MiB.
constexpr unsigned long long kOpsLimit = 3;
constexpr size_t kMemLimit = 16u << 20;

void InitSodium() {
    static const int ok = sodium_init();
    if (ok < 0) throw Exception("The password library cannot start");
}

// A hash of a password nobody has, so unknown users cost as much as known ones.
const std::string& DummyHash() {
    static const std::string hash = HashPassword("velmora-no-such-user");
    return hash;
}

void SetReceiveTimeout(tcp::socket& socket, int seconds) {
    timeval tv{};
    tv.tv_sec = seconds;
    setsockopt(socket.native_handle(), SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
}

template <typename Stream>
TFrame ReadFrame(Stream& stream, uint32_t maxFrame) {
    unsigned char header[4];
    asio::read(stream, asio::buffer(header, 4));
    const uint32_t length = FrameLength(header, maxFrame);
    std::string body(length, '\0');
    asio::read(stream, asio::buffer(body.data(), body.size()));
    return DecodeFrameBody(body);
}

template <typename Stream>
void WriteFrame(Stream& stream, TFrameKind kind, const std::vector<Variant>& values) {
    const std::string frame = EncodeFrame(kind, values);
    asio::write(stream, asio::buffer(frame));
}

template <typename Stream>
void Fail(Stream& stream, const std::string& kind, const std::string& message) {
    WriteFrame(stream, TFrameKind::Failure, {kind, message});
}

const Variant& At(const TFrame& f, size_t i) {
    static const Variant empty;
    return i < f.Values.size() ? f.Values[i] : empty;
}

}  // namespace

std::string HashPassword(const std::string& password) {
    InitSodium();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, password.data(), password.size(), kOpsLimit, kMemLimit) != 0)
        throw Exception("Out of memory while hashing a password");
    return out;
}

bool VerifyLogin(const TServerSettings& settings, const std::string& database, const std::string& user,
                 const std::string& password) {
    InitSodium();
    std::string hash;
    try {
        auto storage = OpenCompanyDatabase(settings, database, false);
        hash = storage->QueryValue("SELECT PASSWORD_HASH FROM USERS WHERE USER_ID = ?", {user}).AsString();
    } catch (const EStorageError&) {
        hash.clear();
    }
    const bool known = !hash.empty();
    const std::string& against = known ? hash : DummyHash();
    const bool match = crypto_pwhash_str_verify(against.c_str(), password.data(), password.size()) == 0;
    return known && match;
}

struct TAppServerDaemon::Impl {
    TDaemonOptions options;
    asio::io_context io;
    tcp::acceptor acceptor{io};
    std::unique_ptr<asio::ssl::context> tls;
    std::thread acceptThread;

    std::mutex mutex;
    std::condition_variable stopped;
    bool stopping = false;
    struct Connection {
        std::shared_ptr<tcp::socket> socket;
        std::thread thread;
        bool done = false;
    };
    std::list<Connection> connections;
    std::atomic<int> active{0};

    void Accept() {
        auto socket = std::make_shared<tcp::socket>(io);
        acceptor.async_accept(*socket, [this, socket](const asio::error_code& ec) {
            if (ec) return;   // the acceptor was closed
            std::lock_guard lock(mutex);
            if (stopping) return;
            ReapFinished();
            connections.push_back({socket, {}, false});
            auto it = std::prev(connections.end());
            it->thread = std::thread([this, it] { Serve(*it); });
            Accept();
        });
    }

    void ReapFinished() {
        for (auto it = connections.begin(); it != connections.end();) {
            if (it->done) {
                it->thread.join();
                it = connections.erase(it);
            } else {
                ++it;
            }
        }
    }

    void Serve(Connection& connection) {
        ++active;
        tcp::socket& socket = *connection.socket;
        try {
            socket.set_option(tcp::no_delay(true));
            SetReceiveTimeout(socket, options.LoginTimeoutSeconds);
            if (tls) {
                asio::ssl::stream<tcp::socket&> stream(socket, *tls);
                stream.handshake(asio::ssl::stream_base::server);
                Session(stream, socket);
            } else {
                Session(socket, socket);
            }
        } catch (...) {
            // Protocol errors, broken connections and timeouts end this connection only.
        }
        asio::error_code ignored;
        socket.shutdown(tcp::socket::shutdown_both, ignored);
        socket.close(ignored);
        --active;
        std::lock_guard lock(mutex);
        connection.done = true;
    }

    template <typename Stream>
    void Session(Stream& stream, tcp::socket& socket) {
        TFrame hello = ReadFrame(stream, options.MaxFrame);
        if (hello.Kind != TFrameKind::Hello || At(hello, 0).AsString() != kWireGreeting) {
            Fail(stream, "EProtocolError", "Not an application server client");
            return;
        }
        if (At(hello, 1).IsEmpty() || !At(hello, 1).IsNumeric() || At(hello, 1).AsInt() != kWireVersion) {
            Fail(stream, "EProtocolError", "Protocol version " + std::to_string(kWireVersion) + " is required");
            return;
        }
        const std::string progId = At(hello, 2).IsString() ? At(hello, 2).AsString() : "";
        if (!SameText(progId, kAppServerProgId) && !SameText(progId, kLookupServerProgId)) {
            Fail(stream, "EProtocolError", "This daemon serves no object '" + progId + "'");
            return;
        }
        WriteFrame(stream, TFrameKind::Welcome, {kWireVersion});

        TFrame login = ReadFrame(stream, options.MaxFrame);
        const std::string database = At(login, 0).IsString() ? At(login, 0).AsString() : "";
        const std::string user = At(login, 1).IsString() ? At(login, 1).AsString() : "";
        const std::string password = At(login, 2).IsString() ? At(login, 2).AsString() : "";
        if (login.Kind != TFrameKind::Login || !VerifyLogin(options.Settings, database, user, password)) {
            Fail(stream, "EAuthenticationError", "用户名或密码错误");
            return;
        }
        WriteFrame(stream, TFrameKind::LoginOk, {});
        SetReceiveTimeout(socket, options.IdleTimeoutSeconds);

        std::shared_ptr<IDispatch> server;
        if (SameText(progId, kAppServerProgId)) {
            auto appServer = std::make_shared<TAppServer>(options.Settings);
            appServer->SetAuthenticated(user, database);
            server = std::move(appServer);
        } else {
            server = std::make_shared<TLookupServer>();
        }
        for (;;) {
            TFrame call = ReadFrame(stream, options.MaxFrame);
            if (call.Kind != TFrameKind::Call || !At(call, 0).IsString()) throw EProtocolError("Call expected");
            OleArgs args;
            if (At(call, 1).IsArray())
                for (const Variant& v : At(call, 1).Elements()) args.push_back(v);
            std::vector<Variant> reply;
            TFrameKind kind = TFrameKind::Result;
            try {
                Variant result = server->Invoke(At(call, 0).AsString(), InvokeKind::Method, args);
                reply = {std::move(result), Variant::ArrayOf(std::move(args))};
            } catch (const Exception& e) {
                kind = TFrameKind::Failure;
                reply = {e.ClassName(), e.Message()};
            } catch (const std::exception& e) {
                kind = TFrameKind::Failure;
                reply = {"Exception", e.what()};
            }
            std::string frame;
            try {
                frame = EncodeFrame(kind, reply);
            } catch (const EProtocolError& e) {
                frame = EncodeFrame(TFrameKind::Failure, {e.ClassName(), e.Message()});
            }
            asio::write(stream, asio::buffer(frame));
        }
    }
};

TAppServerDaemon::TAppServerDaemon(TDaemonOptions options) : impl_(std::make_unique<Impl>()) {
    impl_->options = std::move(options);
}

TAppServerDaemon::~TAppServerDaemon() { Stop(); }

void TAppServerDaemon::Start() {
    InitSodium();
    DummyHash();
    const TDaemonOptions& o = impl_->options;
    if (!o.TlsCertificateFile.empty() && !o.TlsPrivateKeyFile.empty()) {
        impl_->tls = std::make_unique<asio::ssl::context>(asio::ssl::context::tls_server);
        impl_->tls->set_options(asio::ssl::context::default_workarounds | asio::ssl::context::no_sslv2 |
                                asio::ssl::context::no_sslv3 | asio::ssl::context::no_tlsv1 |
                                asio::ssl::context::no_tlsv1_1);
        impl_->tls->use_certificate_chain_file(o.TlsCertificateFile);
        impl_->tls->use_private_key_file(o.TlsPrivateKeyFile, asio::ssl::context::pem);
    }
    const tcp::endpoint endpoint(asio::ip::make_address(o.Address), o.Port);
    impl_->acceptor.open(endpoint.protocol());
    impl_->acceptor.set_option(tcp::acceptor::reuse_address(true));
    impl_->acceptor.bind(endpoint);
    impl_->acceptor.listen();
    impl_->Accept();
    impl_->acceptThread = std::thread([this] { impl_->io.run(); });
}

void TAppServerDaemon::Stop() {
    {
        std::lock_guard lock(impl_->mutex);
        if (impl_->stopping) return;
        impl_->stopping = true;
    }
    asio::post(impl_->io, [this] {
        asio::error_code ignored;
        impl_->acceptor.close(ignored);
    });
    if (impl_->acceptThread.joinable()) impl_->acceptThread.join();
    std::list<Impl::Connection> connections;
    {
        std::lock_guard lock(impl_->mutex);
        for (auto& c : impl_->connections) {
            asio::error_code ignored;
            c.socket->shutdown(tcp::socket::shutdown_both, ignored);
        }
        connections.splice(connections.end(), impl_->connections);
    }
    for (auto& c : connections) c.thread.join();
    impl_->stopped.notify_all();
}

void TAppServerDaemon::Wait() {
    std::unique_lock lock(impl_->mutex);
    impl_->stopped.wait(lock, [this] { return impl_->stopping; });
}

uint16_t TAppServerDaemon::Port() const { return impl_->acceptor.local_endpoint().port(); }

int TAppServerDaemon::ConnectionCount() const { return impl_->active; }
