#include "services/appserver/RemoteServer.h"

#include <sys/socket.h>

#include <asio.hpp>
#include <asio/ssl.hpp>
#include <variant>

#include "services/appserver/WireProtocol.h"

using asio::ip::tcp;

struct TRemoteServer::Impl {
    asio::io_context io;
    tcp::socket socket{io};
    std::unique_ptr<asio::ssl::context> context;
    std::unique_ptr<asio::ssl::stream<tcp::socket&>> tls;
    std::string serverName;
    bool broken = false;

    template <typename F>
    auto WithStream(F&& f) {
        if (tls) return f(*tls);
        return f(socket);
    }

    void Send(TFrameKind kind, const std::vector<Variant>& values) {
        const std::string frame = EncodeFrame(kind, values);
        WithStream([&](auto& s) { asio::write(s, asio::buffer(frame)); });
    }

    TFrame Receive() {
        return WithStream([&](auto& s) {
            unsigned char header[4];
            asio::read(s, asio::buffer(header, 4));
            std::string body(FrameLength(header, UINT32_MAX), '\0');
            asio::read(s, asio::buffer(body.data(), body.size()));
            return DecodeFrameBody(body);
        });
    }
};

TRemoteServer::TRemoteServer(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TRemoteServer::~TRemoteServer() = default;

std::shared_ptr<TRemoteServer> TRemoteServer::Connect(const TRemoteOptions& options) {
    auto impl = std::make_unique<Impl>();
    try {
        tcp::resolver resolver(impl->io);
        asio::connect(impl->socket, resolver.resolve(options.Host, std::to_string(options.Port)));
        impl->socket.set_option(tcp::no_delay(true));
        timeval tv{};
        tv.tv_sec = options.TimeoutSeconds;
        setsockopt(impl->socket.native_handle(), SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        if (options.Tls) {
            impl->context = std::make_unique<asio::ssl::context>(asio::ssl::context::tls_client);
            if (options.TlsCaFile.empty()) impl->context->set_default_verify_paths();
            else impl->context->load_verify_file(options.TlsCaFile);
            impl->context->set_verify_mode(asio::ssl::verify_peer);
            impl->tls = std::make_unique<asio::ssl::stream<tcp::socket&>>(impl->socket, *impl->context);
            impl->tls->handshake(asio::ssl::stream_base::client);
        }
        impl->serverName = options.ServerName;
        impl->Send(TFrameKind::Hello, {std::string(kWireGreeting), kWireVersion, options.ServerName});
        TFrame welcome = impl->Receive();
        if (welcome.Kind != TFrameKind::Welcome)
            throw ERemoteError(welcome.Values.size() > 1 ? welcome.Values[1].AsString() : "The server refused the connection");
        impl->Send(TFrameKind::Login, {options.Database, options.User, options.Password});
        TFrame answer = impl->Receive();
        if (answer.Kind != TFrameKind::LoginOk)
            throw ERemoteError(answer.Values.size() > 1 ? answer.Values[1].AsString() : "The server refused the login");
    } catch (const ERemoteError&) {
        throw;
    } catch (const std::exception& e) {
        throw ERemoteError("Cannot reach the application server at " + options.Host + ":" +
                           std::to_string(options.Port) + ": " + e.what());
    }
    return std::make_shared<TRemoteServer>(std::move(impl));
}

std::string TRemoteServer::DispatchName() const { return impl_->serverName + " (remote)"; }

Variant TRemoteServer::Invoke(std::string_view member, InvokeKind kind, OleArgs& args) {
    if (kind != InvokeKind::Method) throw EOleError("Remote properties are not supported: " + std::string(member));
    if (impl_->broken) throw ERemoteError("The connection to the application server was lost");
    TFrame answer;
    try {
        impl_->Send(TFrameKind::Call, {std::string(member), Variant::ArrayOf(std::vector<Variant>(args.begin(), args.end()))});
        answer = impl_->Receive();
    } catch (const EProtocolError& e) {
        if (std::string_view(e.Message()).find("Automation") != std::string_view::npos) throw EOleError(e.Message());
        impl_->broken = true;
        throw ERemoteError("The connection to the application server failed: " + e.Message());
    } catch (const std::exception& e) {
        impl_->broken = true;
        throw ERemoteError("The connection to the application server was lost during '" + std::string(member) +
                           "': " + e.what());
    }
    if (answer.Kind == TFrameKind::Failure)
        throw EOleError(answer.Values.size() > 1 ? answer.Values[1].AsString() : "The server failed");
    if (answer.Kind != TFrameKind::Result || answer.Values.empty()) {
        impl_->broken = true;
        throw ERemoteError("Unexpected answer from the application server");
    }
    if (answer.Values.size() > 1 && answer.Values[1].IsArray()) {
        const auto& back = answer.Values[1].Elements();
        for (size_t i = 0; i < args.size() && i < back.size(); ++i) args[i] = back[i];
    }
    return std::move(answer.Values[0]);
}
